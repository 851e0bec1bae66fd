#pragma once

#include "cli/Command.h"

namespace lumarel::cli {

// --output FILE [--set KEY=VALUE]...: one flyer from the stored details.
class MakeCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("output"); }
    QList<QCommandLineOption> options() const override;
    int execute(const QCommandLineParser& parser, Console& console) override;
};

} // namespace lumarel::cli
