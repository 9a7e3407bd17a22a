// vellumcraft-cli: inspect, create, edit and render maps without the editor.

#include "cli/cli_commands.h"

int main(int argc, char** argv) { return vcli::RunCli(argc, argv); }
