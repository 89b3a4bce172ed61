// The command line: one table of subcommands over the library.
#pragma once

namespace tvk {

int runCommandLine(int argc, char** argv);

}  // namespace tvk
