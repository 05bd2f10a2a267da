#pragma once

#include <functional>
#include <string>

// Something that shows a document to the user; replaced in tests so that no
// browser starts.
using DocumentOpener = std::function<void(const std::string& path)>;

// Told, from another thread, how the handler of a document ended: its exit
// status, or 128 plus the signal that ended it.
using HandlerEnded = std::function<void(int status)>;

// How the log names the way documents reach their handler: "xdg-open", or
// the shell's "open" on Windows.
extern const char* const kDefaultHandlerCall;

// Hands the document to the desktop's default handler ("xdg-open path"),
// started without a shell and not waited for. Returns 0, or the system's
// error code for why it could not be started (ENOENT: no xdg-open on the
// PATH); `ended`, if given, hears of the end of a handler that was started.
int OpenWithDefaultHandler(const std::string& path, HandlerEnded ended = {});
