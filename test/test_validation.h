#pragma once

#include <QStringList>

#include "test/xml_test_reader.h"

// Highest slot number a differential measurement may use; the engine grows its slot list
// up to the slot, so an absurd number must not reach it.
constexpr int kMaxMeasureSlot = 1023;

// For the counts when no register map is at hand: positions are then only checked not to be
// negative.
constexpr int kMapNotKnown = -1;

// Problems that would make a test misbehave when run against a map with `inputCount`
// input registers and `holdingCount` holdings; one message per problem, each naming the
// step (position from 1 and element name). Empty when the test can run.
QStringList validateTestDefinition(const TestDefinition &def, int inputCount, int holdingCount);
