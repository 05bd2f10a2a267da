#pragma once
#include <stdexcept>
#include <string>

// A file refused as a whole; what() is the message for the user, naming the
// file and the reason.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs `read`, naming `name` at the start of the message of any ImportError
// it throws.
template <typename Read> auto NamingFile(const std::string& name, Read read) {
    try {
        return read();
    } catch (const ImportError& refused) {
        throw ImportError(name + " " + refused.what());
    }
}

// The user cancelled a read part way; nothing read so far is used.
class ImportCancelled : public std::runtime_error {
public:
    ImportCancelled() : std::runtime_error("The import was cancelled.") {}
};
