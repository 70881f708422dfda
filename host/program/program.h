// taverin-host's whole run, from the command line to the exit status (cli.h lists them).
#pragma once

namespace host {

int run_program(int argc, const char* const* argv);

}  // namespace host
