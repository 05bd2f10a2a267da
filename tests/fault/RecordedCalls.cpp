#include "RecordedCalls.h"

namespace {

struct Recording {
    bool on = false;
    bool unrecorded = false;
    std::vector<RecordedCall> calls;
};

Recording& State() {
    static Recording recording;
    return recording;
}

} // namespace

void StartRecordingCalls() {
    State() = Recording{true, false, {}};
}

std::vector<RecordedCall> StopRecordingCalls() {
    State().on = false;
    return std::move(State().calls);
}

bool UnrecordedChangeSeen() {
    return State().unrecorded;
}

void RecordCall(RecordedCall call) {
    if (State().on)
        State().calls.push_back(std::move(call));
}

void RecordUnrecordableChange() {
    if (State().on)
        State().unrecorded = true;
}
