#pragma once

#include "cli/Command.h"

namespace lumarel::cli {

// --batch LIST.csv --output-dir DIR [--format F] [--overwrite]: one flyer per row of a list.
class BatchCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("batch"); }
    QList<QCommandLineOption> options() const override;
    int execute(const QCommandLineParser& parser, Console& console) override;
};

} // namespace lumarel::cli
