#include "payload/archive_extraction.h"

#include <7z.h>
#include <7zCrc.h>
#include <7zFile.h>

#include <algorithm>
#include <mutex>
#include <new>

#include "common/utility/scope_guard.h"
#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "payload/decode_ahead.h"
#include "payload/entry_paths.h"
#include "payload/file_write.h"
#include "payload/sz_support.h"

namespace zrb::payload {

namespace {

// The decoder reads the archive through a look-ahead buffer of this size.
constexpr size_t kLookBufferSize = 1 << 20;
// Stored attributes that are applied to a written file. Archives made on
// other systems carry their own mode bits above these.
constexpr DWORD kApplicableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr UInt32 kNoFolder = static_cast<UInt32>(-1);

void PrepareCrcTables() {
  static std::once_flag once;
  std::call_once(once, [] { CrcGenerateTable(); });
}

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// One pass over the entries of an opened archive.
class Extraction {
 public:
  Extraction(const CSzArEx& db, ILookInStreamPtr in, const std::wstring& destination,
             const ExtractionCallbacks& callbacks)
      : db_(db), destination_(destination), callbacks_(callbacks), decoder_(db, in) {}

  int Run() {
    if (const int names = CheckEntryNames(); names != kExtractOk) return names;
    int pending = kExtractOk;
    for (UInt32 index = 0; index < db_.NumFiles; ++index) {
      if (!BuildPath(index)) return kExtractOutOfMemory;
      if (SzArEx_IsDir(&db_, index)) {
        CreateFolders();
        ::CreateDirectoryW(path_.c_str(), nullptr);
        madeFolder_ = path_;
        continue;
      }
      // The content comes first: a decoder error leaves the file alone.
      const SRes content = PrepareContent(index);
      if (content != SZ_OK) return content;
      CreateFolders();
      if (const int stop = WriteFileEntry(index, pending); stop != kContinue) return stop;
    }
    return pending;
  }

 private:
  static constexpr int kContinue = -1;

  // Checks every name before anything is written: an archive with one entry
  // that would land outside the destination is not unpacked at all.
  int CheckEntryNames() {
    const DestinationGuard guard(destination_);
    for (UInt32 index = 0; index < db_.NumFiles; ++index) {
      if (!BuildPath(index)) return kExtractOutOfMemory;
      const std::wstring_view name(path_.data() + nameStart_, path_.size() - nameStart_);
      if (!guard.Admits(name, path_)) {
        zrb::Trace(L"Fun:%s, Description:%s leads outside %s!\r\n", L"ExtractArchive",
                   std::wstring(name).c_str(), destination_.c_str());
        return kExtractUnsafeEntry;
      }
    }
    return kExtractOk;
  }

  // path_ = destination + "\" + the entry's name; the buffer only grows.
  bool BuildPath(UInt32 index) {
    try {
      const size_t nameUnits = SzArEx_GetFileNameUtf16(&db_, index, nullptr);  // with the zero
      nameStart_ = destination_.size() + 1;
      path_.assign(destination_);
      path_ += L'\\';
      path_.resize(nameStart_ + nameUnits);
      SzArEx_GetFileNameUtf16(&db_, index, reinterpret_cast<UInt16*>(&path_[nameStart_]));
      path_.resize(nameStart_ + (nameUnits != 0 ? nameUnits - 1 : 0));
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  // Creates each folder on the way to the entry and turns every separator
  // of the name into '\'. Folders made for the previous entry are not asked
  // for again.
  void CreateFolders() {
    for (size_t at = nameStart_; at < path_.size(); ++at) {
      if (!IsSeparator(path_[at])) continue;
      path_[at] = L'\\';
      const bool known = at <= madeFolder_.size() &&
                         (at == madeFolder_.size() || madeFolder_[at] == L'\\') &&
                         path_.compare(0, at, madeFolder_, 0, at) == 0;
      if (known) continue;
      path_[at] = L'\0';
      ::CreateDirectoryW(path_.c_str(), nullptr);  // errors show when the file is created
      path_[at] = L'\\';
    }
    const size_t folderEnd = path_.rfind(L'\\');
    if (folderEnd != std::wstring::npos && folderEnd > nameStart_) {
      madeFolder_.assign(path_, 0, folderEnd);
    }
  }

  // Positions the decoder at the entry's data and decodes its first piece.
  SRes PrepareContent(UInt32 index) {
    const UInt64 size = SzArEx_GetFileSize(&db_, index);
    if (size == 0) return SZ_OK;
    const UInt32 folder = db_.FileToFolder[index];
    if (folder == kNoFolder) return SZ_ERROR_ARCHIVE;
    const UInt64 offset =
        db_.UnpackPositions[index] - db_.UnpackPositions[db_.FolderToFile[folder]];
    const UInt64 folderSize = SzAr_GetFolderUnpackSize(&db_.db, folder);
    if (offset > folderSize || size > folderSize - offset) return SZ_ERROR_ARCHIVE;
    RINOK(decoder_.SeekTo(folder, offset));
    const Byte* data = nullptr;
    size_t available = 0;
    return decoder_.Peek(&data, &available);
  }

  // Creates, fills and finishes one file. Returns kContinue or the result
  // that ends the extraction.
  int WriteFileEntry(UInt32 index, int& pending) {
    UniqueFileHandle file(CreateOutput());
    if (file) {
      pending = kExtractOk;
    } else {
      const DWORD error = ::GetLastError();
      pending = static_cast<int>(error);
      if (!callbacks_.createFailed) return kExtractOutputFailed;
      const int decision = callbacks_.createFailed(path_, error);
      if (decision == kCreateSkip) return kContinue;
      if (decision != kCreateRetry) return kExtractOutputFailed;
      file.Reset(CreateOutput());
      if (!file) return kExtractOutputFailed;
      pending = kExtractOk;
    }

    const int written = WriteContent(index, file.Get());
    if (written == kExtractOk) {
      ApplyTimeAndAttributes(index, file.Get());
      if (::CloseHandle(file.Release())) {
        if (callbacks_.fileWritten) callbacks_.fileWritten(path_);
        return kContinue;
      }
      return kExtractOutputFailed;
    }
    // Half a file is worse than none.
    file.Reset();
    ::DeleteFileW(path_.c_str());
    return written;
  }

  // Creates (or truncates) the output file. An existing read-only file
  // loses that attribute and is overwritten. The attribute is only looked at
  // when creation was refused: on most file systems a look-up of a name that
  // does not exist yet costs as much as creating the file.
  HANDLE CreateOutput() const {
    HANDLE file = CreateOutputFile();
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
      const DWORD attributes = ::GetFileAttributesW(path_.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
          !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(path_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        file = CreateOutputFile();
      } else {
        ::SetLastError(ERROR_ACCESS_DENIED);
      }
    }
    return file;
  }

  HANDLE CreateOutputFile() const {
    return ::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  // Streams the entry's data into `file` and checks its checksum.
  int WriteContent(UInt32 index, HANDLE file) {
    UInt64 left = SzArEx_GetFileSize(&db_, index);
    const bool checkCrc = SzBitWithVals_Check(&db_.CRCs, index);
    UInt32 crc = CRC_INIT_VAL;
    while (left != 0) {
      const Byte* data = nullptr;
      size_t size = 0;
      RINOK(decoder_.Peek(&data, &size));
      if (size > left) size = static_cast<size_t>(left);
      if (checkCrc) crc = CrcUpdate(crc, data, size);
      if (!WriteAll(file, data, size)) return kExtractOutputFailed;
      RINOK(decoder_.Consume(size));
      left -= size;
    }
    if (checkCrc && CRC_GET_DIGEST(crc) != db_.CRCs.Vals[index]) return SZ_ERROR_CRC;
    return kExtractOk;
  }

  // The stored modification time (as the last-write time) and attributes,
  // set in one call while the file is open.
  void ApplyTimeAndAttributes(UInt32 index, HANDLE file) const {
    FILE_BASIC_INFO info = {};
    bool any = false;
    if (SzBitWithVals_Check(&db_.MTime, index)) {
      info.LastWriteTime.LowPart = db_.MTime.Vals[index].Low;
      info.LastWriteTime.HighPart = static_cast<LONG>(db_.MTime.Vals[index].High);
      any = true;
    }
    if (SzBitWithVals_Check(&db_.Attribs, index)) {
      const DWORD attributes = db_.Attribs.Vals[index] & kApplicableAttributes;
      info.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
      any = true;
    }
    if (any) ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof(info));
  }

  const CSzArEx& db_;
  const std::wstring& destination_;
  const ExtractionCallbacks& callbacks_;
  std::wstring path_;
  size_t nameStart_ = 0;
  std::wstring madeFolder_;  // the deepest folder created for the last entry
  DecodeAhead decoder_;      // last member: its worker stops first
};

}  // namespace

int ExtractArchive(ISeekInStreamPtr input, const std::wstring& destination,
                   const ExtractionCallbacks& callbacks) {
  PrepareCrcTables();
  HeapBlock lookBuffer;
  if (!lookBuffer.Allocate(kLookBufferSize)) return SZ_ERROR_MEM;
  CLookToRead2 look;
  LookToRead2_CreateVTable(&look, False);
  look.buf = lookBuffer.data();
  look.bufSize = lookBuffer.size();
  look.realStream = input;
  LookToRead2_INIT(&look);

  CSzArEx db;
  SzArEx_Init(&db);
  auto freeDb = MakeScopeGuard([&db] { SzArEx_Free(&db, HeapAllocator()); });
  const SRes opened = SzArEx_Open(&db, &look.vt, HeapAllocator(), HeapAllocator());
  if (opened != SZ_OK) return opened;
  return Extraction(db, &look.vt, destination, callbacks).Run();
}

int ExtractFromMemory(const void* bytes, size_t size, const std::wstring& destination,
                      const ExtractionCallbacks& callbacks, ArchiveForm form) {
  const MemoryInStream stream(static_cast<const Byte*>(bytes), size, form);
  return ExtractArchive(stream.stream(), destination, callbacks);
}

int ExtractFromFile(const std::wstring& archivePath, const std::wstring& destination,
                    const ExtractionCallbacks& callbacks) {
  UniqueFileHandle archive(::CreateFileW(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!archive) return kExtractCannotOpenArchive;
  CFileInStream stream;
  FileInStream_CreateVTable(&stream);
  File_Construct(&stream.file);
  stream.file.handle = archive.Get();  // still owned by `archive`
  stream.wres = 0;
  return ExtractArchive(&stream.vt, destination, callbacks);
}

}  // namespace zrb::payload
