#pragma once

#include <string>

namespace cantova {

// Lets SIGTERM, SIGINT and SIGHUP end a job in order: the engines are stopped and the
// temporary outputs removed, instead of the program vanishing with its engines still writing.
// SIGPIPE is ignored: a standard output nobody reads any more is a stop request too (the front
// end that started the job has gone), noticed by the writer or by watchStandardOutput.
void installStopHandlers();
bool stopRequested();
// Asks for a stop because the standard output was closed.
void requestStopForClosedOutput();
// The result line's reason for the stop.
std::string stopReason();

// The descriptor to watch for the reader of the standard output going away (poll reports
// POLLERR or POLLHUP on it), or -1 when the standard output is no pipe or socket.
int standardOutputToWatch();

} // namespace cantova
