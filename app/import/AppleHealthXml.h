#pragma once
#include "ByteSource.h"
#include "DailySteps.h"

// Adds the step records of an Apple Health export.xml to steps, per source and
// the date they were walked on; rows it cannot read go to daily. The parse
// streams, so memory stays the same for a file of any size.
void ReadAppleHealthXml(ByteSource& source, StepsBySource& steps, DailySteps& daily);
