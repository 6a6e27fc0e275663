// The record a complete run leaves in the output folder of the files it put
// there, so that the next run can tell its own old results (deleted when it
// clears them) from files of the user that happen to match (moved to the
// trash). A hidden file: a version line, then one name per line, relative to
// the output folder.
#pragma once

#include <string>
#include <vector>

namespace ks {

// The record's file name inside the output folder.
extern const char* const kWrittenRecordName;

// The names the record in outputFolder holds, sorted; none when it is
// missing, unreadable or of another version: then nothing counts as written
// by a run, which is never a reason to stop one.
std::vector<std::string> ReadWrittenRecord(const std::string& outputFolder);

// Replaces the record in outputFolder atomically by names (relative to it).
// False when it cannot be written (errno tells why); the old record is then
// as it was.
bool WriteWrittenRecord(const std::string& outputFolder, const std::vector<std::string>& names);

} // namespace ks
