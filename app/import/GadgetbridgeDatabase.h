#pragma once
#include <string_view>

#include "DailySteps.h"

class InputFile;
class ProgressMeter;

bool IsSqliteDatabase(std::string_view head);

// Adds the step samples of a Gadgetbridge database export, read through the
// checked file and never opened again by name, per device and the local date
// they were walked on: one sample per device and minute (the larger where a
// minute was stored twice), and a day's total is its largest device's. Tables
// that cannot be read as samples are named in the rejected rows.
void ReadGadgetbridgeDatabase(const InputFile& file, ProgressMeter& meter, DailySteps& daily);
