#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ByteSource.h"

// The top-level fields of one object of a JSON array that a reader asked for:
// name and value as text (numbers as written); null values and nested objects
// and arrays left out, and a name given twice taken the first time.
using JsonFields = std::vector<std::pair<std::string, std::string>>;

// Whether a file's start is a JSON array whose first objects name all the keys.
bool StartsJsonArrayWith(std::string_view head, std::initializer_list<std::string_view> keys);

const std::string* FieldNamed(const JsonFields& fields, std::string_view name);

// Streams a JSON array of objects, calling each with the wanted fields and its
// place in the array (from 1). Only the wanted fields are kept, and an element
// of the array larger than any export's is refused, so memory stays small
// whatever an object holds.
void ForEachJsonObject(ByteSource& source, std::initializer_list<std::string_view> wanted,
                       const std::function<void(const JsonFields&, std::size_t)>& each);
