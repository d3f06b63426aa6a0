#pragma once

namespace cantova {

// Lets SIGTERM, SIGINT and SIGHUP end a job in order: the engines are stopped and the
// temporary outputs removed, instead of the program vanishing with its engines still writing.
void installStopHandlers();
bool stopRequested();

} // namespace cantova
