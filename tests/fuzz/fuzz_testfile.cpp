// Production-test file reader and the check made before a test runs.
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "test/test_validation.h"
#include "test/xml_test_reader.h"

namespace {

// In a definition the check accepts, every step names a known kind and a record that
// exists in its kind's list.
void checkSteps(const TestDefinition &def) {
    for (const test_step_t &step : def.steps) {
        FUZZ_CHECK(!stepElementName(step.kind).isEmpty(), "step kind is known");
        if (step.kind == StepSerialNumber) {
            continue;
        }
        FUZZ_CHECK(step.index >= 0 && step.index < def.listSize(step.kind), "step record exists");
    }
}

// A definition the check accepts has a loop the engine can walk.
void checkAcceptedLoop(const TestDefinition &def) {
    if (def.loopStart == -1) {
        return;
    }
    FUZZ_CHECK(def.loopIterations >= 0, "accepted loop count is not negative (0 and 1 run once)");
    FUZZ_CHECK(def.loopStart >= 1 && def.loopStart <= def.loopStop + 1, "accepted loop starts in order");
    FUZZ_CHECK(def.loopStop <= def.steps.size(), "accepted loop ends inside the steps");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TestDefinition def;
    xml_test_reader reader;
    if (!reader.readTestData(fuzzsupport::bytes(data, size), def)) {
        FUZZ_CHECK(def.steps.isEmpty(), "a rejected file leaves no steps");
        return 0;
    }
    static const int counts[][2] = {{0, 0}, {64, 120}, {125, 255}};
    for (const auto &count : counts) {
        if (validateTestDefinition(def, count[0], count[1]).isEmpty()) {
            checkSteps(def);
            checkAcceptedLoop(def);
        }
    }
    return 0;
}
