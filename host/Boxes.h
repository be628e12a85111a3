#pragma once
// Message boxes that a program shows while it calls the library, found,
// read and closed, so that a box never waits for a click nobody gives.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace Host {

struct Box {
  std::wstring caption, text;
  bool hooked = false;  // caught by a BoxHook of the thread that showed it
  std::wstring FirstLine() const { return text.substr(0, text.find_first_of(L"\r\n")); }
};

using BoxSink = std::function<void(const Box&)>;

// From the first call on, every dialog box of this process is closed as
// soon as it is seen and handed, once, to the sink in force (null: closed
// and dropped). A patrol thread finds the boxes of every thread; a BoxHook
// catches those of its own thread the moment they activate, before the
// call that raised them returns. The patrol runs until the process ends.
void SetBoxSink(BoxSink sink);

// A CBT hook on the calling thread for its lifetime. Hooks nest on one
// thread: the outermost installs, the others share it.
class BoxHook {
 public:
  BoxHook();
  ~BoxHook();
  BoxHook(const BoxHook&) = delete;
  BoxHook& operator=(const BoxHook&) = delete;

  bool Installed() const;
  // Boxes caught on this thread since the outermost hook was made, and the
  // last of them.
  std::size_t Count() const;
  const Box& Last() const;
};

}  // namespace Host
