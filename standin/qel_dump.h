// The JSON form of a feature file: what `dobrenz dump` prints.
#pragma once

#include <string>

#include "standin/feature_store.h"

namespace dz {

// One JSON document, "qel-dump/1", ending with a newline.
std::string dumpFeatureStore(const FeatureStore& store);

}  // namespace dz
