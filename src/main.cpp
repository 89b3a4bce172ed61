#include "host/cli.h"

int main(int argc, char** argv) { return tvk::runCommandLine(argc, argv); }
