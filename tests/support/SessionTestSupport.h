#pragma once
// Profiles and libraries for driving the session as a user drives the window.
#include <string>

#include "app/KelViewSession.h"
#include "profile/Kel.h"
#include "support/TestSupport.h"

namespace kel::test {

// A profile with `channels` ion channels named 19, 37, ... on rows 1, 3, ...,
// each with dwell `dwell` ticks and constant counts 100 * (k + 1), 201 slots,
// the ring wrapped (jm 250), flow-tube values of a real instrument.
TKel ConstantProfile(int channels, std::uint16_t dwell = 100);

// ConstantProfile(3) with counts that grow with the point: channel k holds
// 10 (i + 1)(k + 1) counts at point i over 0.2 s of dwell, a rate of
// 50 (i + 1)(k + 1) c/s; a cycle lasts 0.6 s. The date is 10:30:00 and the
// oldest stored point is cycle 49 (jm 250, njm 201).
TKel GrowingProfile();

// Writes the profile as a legacy file in dir and returns its path.
std::string SaveProfile(const ScratchDir& dir, const TKel& profile, const std::string& name = "test.kel");

// What a test's session works with when the test needs nothing special:
// the program's library (the one UseKinetics fills), its boxes on the sink
// the test records them with (RecordedMessages), settings in memory that
// live as long as the tests, and clipboard.
TSessionServices TestServices(TGraphClipboard* clipboard = nullptr);

// Replaces the program's kinetics library by the given text.
void UseKinetics(const std::string& text);

// The comments of graph with the given tag, in order.
std::vector<TComment> CommentsWithTag(const TXYGraph& graph, int tag);

}  // namespace kel::test
