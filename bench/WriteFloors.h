#pragma once

#include <filesystem>
#include <string>

// The floors a batch is judged against: files of the same names and sizes as
// a reference folder's, each written unnamed and linked to its name as the
// converter makes new targets, with one way of making them durable.
namespace drovana::bench {

// "none": no syncs at all, not even the start of writeback, as the converter
// under libeatmydata. "each": each file's data synced before it is
// named. "deferred": groups written with writeback started, then each file
// of the group synced, then the group named. "syncfs": the same groups, one
// sync of the file system each. All but "none" sync the folder at the end.
// Returns 0 on success, 2 for an unknown way.
int WriteFloor(const std::string& way, const std::filesystem::path& reference,
               const std::filesystem::path& out);

}  // namespace drovana::bench
