// taverin-host: loads the orvik Taverin module into the stand-in host, plays a session and
// shows what the tool did. `taverin-host --help` says how.
#include "host/program/program.h"

int main(int argc, char** argv) { return host::run_program(argc, argv); }
