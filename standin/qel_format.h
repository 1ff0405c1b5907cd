// The .qel feature file on disk (docs/qel-format.md): a feature store
// encoded whole, and decoded whole or not at all.
#pragma once

#include <string>
#include <string_view>

#include "standin/feature_store.h"

namespace dz {

std::string encodeQel(const FeatureStore& store);

// False with a reason when the bytes are not a whole, undamaged feature file;
// `store` is then left empty.
bool decodeQel(std::string_view bytes, FeatureStore& store, std::string& reason);

}  // namespace dz
