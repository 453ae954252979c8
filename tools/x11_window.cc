// zelkor3d-x11-window wait TITLE SECONDS | close TITLE
//
// wait:  waits until a top-level window titled TITLE is shown on $DISPLAY and
//        prints its id; exit code 1 when none is shown in time.
// close: asks every shown top-level window titled TITLE to close, with the
//        WM_DELETE_WINDOW message a window manager sends for its close
//        button; exit code 1 when there is none.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> Owned(Reply* reply) {
  return ReplyPtr<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
  auto reply = Owned(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()),
      nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string Title(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t net_wm_name,
                  xcb_atom_t utf8_string) {
  auto reply = Owned(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, net_wm_name, utf8_string, 0, 1024),
      nullptr));
  if (!reply) return {};
  const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return std::string(bytes, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

// The shown top-level windows titled `title`.
std::vector<xcb_window_t> ShownWindows(xcb_connection_t* connection, xcb_window_t root,
                                       std::string_view title) {
  const xcb_atom_t net_wm_name = Atom(connection, "_NET_WM_NAME");
  const xcb_atom_t utf8_string = Atom(connection, "UTF8_STRING");
  std::vector<xcb_window_t> found;
  auto tree = Owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
  if (!tree) return found;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  const int count = xcb_query_tree_children_length(tree.get());
  for (int i = 0; i < count; ++i) {
    const xcb_window_t window = children[i];
    auto attributes = Owned(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) continue;
    if (Title(connection, window, net_wm_name, utf8_string) == title) found.push_back(window);
  }
  return found;
}

int Wait(xcb_connection_t* connection, xcb_window_t root, std::string_view title, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    const std::vector<xcb_window_t> windows = ShownWindows(connection, root, title);
    if (!windows.empty()) {
      std::printf("0x%x\n", windows.front());
      return 0;
    }
    if (std::chrono::steady_clock::now() >= deadline) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

int Close(xcb_connection_t* connection, xcb_window_t root, std::string_view title) {
  const std::vector<xcb_window_t> windows = ShownWindows(connection, root, title);
  const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
  const xcb_atom_t delete_window = Atom(connection, "WM_DELETE_WINDOW");
  for (const xcb_window_t window : windows) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols;
    message.data.data32[0] = delete_window;
    message.data.data32[1] = XCB_CURRENT_TIME;
    // Every X event is 32 bytes, and xcb_send_event copies exactly that many.
    char event[32] = {};
    static_assert(sizeof message == sizeof event);
    std::memcpy(event, &message, sizeof event);
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, event);
  }
  // A round trip before disconnecting: the server may drop requests it has
  // not yet carried out once it sees the connection close, and then the
  // close message never reaches the window. A reply means every earlier
  // request has been done.
  Owned(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  return windows.empty() ? 1 : 0;
}

int Usage() {
  std::fprintf(stderr, "usage: zelkor3d-x11-window wait TITLE SECONDS | close TITLE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string_view command = argv[1];
  const std::string_view title = argv[2];
  if (!((command == "wait" && argc == 4) || (command == "close" && argc == 3))) return Usage();

  int screen_number = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screen_number);
  if (xcb_connection_has_error(connection) != 0) {
    std::fprintf(stderr, "zelkor3d-x11-window: cannot open the display\n");
    xcb_disconnect(connection);
    return 1;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen_number; ++i) xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;

  const int result = command == "wait" ? Wait(connection, root, title, std::atof(argv[3]))
                                       : Close(connection, root, title);
  xcb_disconnect(connection);
  return result;
}
