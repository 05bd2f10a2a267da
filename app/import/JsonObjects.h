#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ByteSource.h"

// The top-level fields of one object of a JSON array: name and value as text
// (numbers as written); null values and nested objects and arrays left out.
using JsonFields = std::vector<std::pair<std::string, std::string>>;

// Whether a file's start is a JSON array whose first objects name all the keys.
bool StartsJsonArrayWith(std::string_view head, std::initializer_list<std::string_view> keys);

const std::string* FieldNamed(const JsonFields& fields, std::string_view name);

// Streams a JSON array of objects, calling each with its fields and its place
// in the array (from 1); memory stays that of one object.
void ForEachJsonObject(ByteSource& source,
                       const std::function<void(const JsonFields&, std::size_t)>& each);
