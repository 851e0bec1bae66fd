#pragma once

#include "cli/Command.h"

namespace lumarel::cli {

// --designs: lists the built-in designs.
class DesignsCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("designs"); }
    QList<QCommandLineOption> options() const override;
    int execute(const QCommandLineParser& parser, Console& console) override;
};

// --check-design FILE: which of the flyer's bookmarks a design file holds, and where.
class CheckDesignCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("check-design"); }
    QList<QCommandLineOption> options() const override;
    int execute(const QCommandLineParser& parser, Console& console) override;
};

} // namespace lumarel::cli
