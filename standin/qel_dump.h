// The JSON form of a feature file: what `dobrenz dump` prints.
#pragma once

#include <string>
#include <string_view>

#include "standin/feature_store.h"
#include "standin/qel_format.h"

namespace dz {

// One JSON document, "qel-dump/1", ending with a newline.
std::string dumpFeatureStore(const FeatureStore& store);

// The same document for a feature file's bytes, handed to `out` record by
// record in pieces of about 64 KiB: no store and no document in memory.
// False with decodeQel's reason, and nothing written, when the bytes are not
// a file decodeQel would load.
bool dumpFeatureFile(std::string_view bytes, const QelSink& out, std::string& reason);

}  // namespace dz
