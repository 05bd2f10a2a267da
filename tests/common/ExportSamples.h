#pragma once

#include <string>

// Pieces of phone and watch exports as their apps write them, for tests to
// build small exports from.

// One step count (or another quantity) record of an Apple Health export.xml.
std::string AppleRecord(const std::string& source, const std::string& start,
                        const std::string& value,
                        const std::string& type = "HKQuantityTypeIdentifierStepCount");

// The internal DTD as one phone version writes it: the ATTLIST of
// VisionPrescription never closes.
extern const char kBrokenDtd[];

// An export.xml around the records.
std::string AppleExport(const std::string& records, const std::string& doctype = kBrokenDtd);

// The header line of Google Fit's daily activity metrics.
extern const char kGoogleHeader[];

// One per-minute sample of a Fitbit steps-*.json file.
std::string FitbitSample(const std::string& when, const std::string& value);
