#pragma once

namespace rwsim {

// SIGINT and SIGTERM end the event loop normally, so that the flash dump is still written.
void QuitOnSignal();

} // namespace rwsim
