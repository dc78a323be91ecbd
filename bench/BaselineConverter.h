#pragma once

// The comparison baseline for the benchmark: the same conversion written the
// plain way, one stdio call per code byte and per output record.
namespace drovana::bench {

// Converts the SHP picture `source` into the S16 picture `target`, writing the
// target in place; with `sync`, its data is synced to the disk before it is
// closed. Returns false on any failure, which may leave a partial target
// behind.
bool BaselineConvertShpFile(const char* source, const char* target, bool sync = false);

}  // namespace drovana::bench
