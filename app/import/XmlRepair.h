#pragma once
#include <cstddef>
#include <string>

// Exports from some phone versions are not well-formed XML in two known ways;
// these mend the bytes before the parser sees them.

// Removes a <!DOCTYPE ...> block from the start of a document: one phone
// version writes an internal DTD with a declaration left unclosed, which stops
// every parser. Nothing the document needs is declared there. Returns false
// while the text ends before the root element's start, so more is needed.
bool RemoveDoctype(std::string& prolog);

// Drops the control characters XML 1.0 forbids (all below 0x20 but tab, LF and
// CR), which some exports hold in text, in place; returns the new size.
std::size_t DropControlCharacters(char* data, std::size_t size);
