#pragma once
#include <stdexcept>
#include <string>

// A file refused as a whole; what() is the message for the user, naming the
// file and the reason.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user cancelled a read part way; nothing read so far is used.
class ImportCancelled : public std::runtime_error {
public:
    ImportCancelled() : std::runtime_error("The import was cancelled.") {}
};
