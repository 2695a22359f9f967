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

// Writes the profile as a legacy file in dir and returns its path.
std::string SaveProfile(const ScratchDir& dir, const TKel& profile, const std::string& name = "test.kel");

// Replaces the global kinetics library by the given text.
void UseKinetics(const std::string& text);

// The comments of graph with the given tag, in order.
std::vector<TComment> CommentsWithTag(const TXYGraph& graph, int tag);

}  // namespace kel::test
