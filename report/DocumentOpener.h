#pragma once

#include <functional>
#include <string>

// Something that shows a document to the user; replaced in tests so that no
// browser starts.
using DocumentOpener = std::function<void(const std::string& path)>;

// Hands the document to the desktop's default handler ("xdg-open path"),
// started without a shell and not waited for. False when it could not be
// started.
bool OpenWithDefaultHandler(const std::string& path);
