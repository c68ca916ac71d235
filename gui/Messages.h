#pragma once
// Where the toolkit's messages for the user or the host's log go (an editor window that
// could not open, say). The plug-in points them at its diagnostic writer, which never
// makes the host's thread wait for standard error; until then a message is written only
// if standard error takes it at once.
//
// Thread contract: the host's user-interface thread.

#include <string_view>

namespace VSTGUI {

using MessageSink = void (*)(std::string_view text);

// Null puts the toolkit's own fallback back.
void setMessageSink(MessageSink sink);
// One line, without the "ZEB Tavola: " prefix or a line break.
void reportMessage(std::string_view text);

}  // namespace VSTGUI
