// The few socket calls the draw server makes that differ between platforms;
// httplib.h brings each platform's socket declarations.
#pragma once

#include <httplib.h>

namespace zelkor::service {

// Flags for send(): never raise SIGPIPE on a connection the client closed.
[[nodiscard]] int SendFlags();

// What a socket is waited on for.
enum class SocketEvent { kReadable, kWritable };

// Waits up to `timeout_ms` until `sock` is ready for `event`: above zero when
// it is, zero when the time ran out, below zero on an error; as poll().
[[nodiscard]] int WaitForSocket(socket_t sock, SocketEvent event, int timeout_ms);

// Ends the sending side of `sock`, or both sides.
void ShutDownSending(socket_t sock);
void ShutDownBoth(socket_t sock);

// Keeps any other program from binding the port `sock` is bound to while
// this one holds it.
void HoldPortAlone(socket_t sock);

}  // namespace zelkor::service
