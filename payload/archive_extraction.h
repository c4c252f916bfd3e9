// Unpacking a 7z archive into a folder: folders are recreated, files are
// written with their stored modification time and attributes, and the
// caller decides what happens when an output file cannot be created.
//
// Each solid block is decoded once, front to back, while its files are
// written; memory holds the decoder's window of the block, not the block.
// Files are checked against their stored checksums before they count as
// written; a file whose data turns out corrupt is removed again.
#pragma once

#include <7zTypes.h>
#include <windows.h>

#include <functional>
#include <string>

#include "payload/memory_in_stream.h"

namespace zrb::payload {

// Results: 0 for success, these codes, or the decoder's own error code
// (SZ_ERROR_* of the LZMA SDK), or the Windows error code of a skipped entry
// that no later file entry cleared.
constexpr int kExtractOk = 0;
constexpr int kExtractCannotOpenArchive = 1;
constexpr int kExtractOutOfMemory = 2;
constexpr int kExtractOutputFailed = 11;
// An entry name leads outside the destination: the whole archive is refused
// before anything is written (the decoder's code for an unusable archive).
constexpr int kExtractUnsafeEntry = SZ_ERROR_ARCHIVE;

// Answers of the create-error callback; any other value aborts.
constexpr int kCreateRetry = 0;
constexpr int kCreateSkip = 1;

struct ExtractionCallbacks {
  // Called with the full path (backslashes only) of each file once it has
  // been written, closed and given its attributes.
  std::function<void(const std::wstring& path)> fileWritten;
  // Called with the full path and the Windows error code when an output
  // file cannot be created; returns kCreateRetry, kCreateSkip or another
  // value to abort.
  std::function<int(const std::wstring& path, DWORD error)> createFailed;
};

// Unpacks the archive read from `input` into the existing folder
// `destination`. Entries are handled in archive order; what was written
// before a failure stays.
int ExtractArchive(ISeekInStreamPtr input, const std::wstring& destination,
                   const ExtractionCallbacks& callbacks);

// Unpacks an archive held in memory. The bytes are read in place and must
// stay unchanged during the call.
int ExtractFromMemory(const void* bytes, size_t size, const std::wstring& destination,
                      const ExtractionCallbacks& callbacks, ArchiveForm form = ArchiveForm::kPlain);

// Unpacks an archive file; kExtractCannotOpenArchive when it cannot be
// opened for reading.
int ExtractFromFile(const std::wstring& archivePath, const std::wstring& destination,
                    const ExtractionCallbacks& callbacks);

}  // namespace zrb::payload
