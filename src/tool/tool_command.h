#pragma once

#include <QStringList>
#include <cstdio>

// A subcommand of neridal-tool. Each command lives in its own file and
// registers itself with a static ToolCommand object.
// run() gets the arguments after the command name and returns the exit status:
// 0 success, 1 the input was refused or damaged, 2 usage error.
struct ToolCommand {
    using Run = int (*)(const QStringList& args);
    ToolCommand(const char* name, const char* usage, Run run);
    const char* name;
    const char* usage;
    Run run;
};

// Prints to standard output / standard error as UTF-8.
void ToolOut(const QString& text);
void ToolErr(const QString& text);
