// File streams over disk files and members of uncompressed tar archives, and
// the archive registry searched by every open.
#include "engine/platform/KFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/KSystem.h"

namespace {

constexpr uint64_t kTarBlock = 512;          // header and data padding unit
constexpr size_t kTarNameOffset = 0;
constexpr size_t kTarNameLength = 100;
constexpr size_t kTarSizeOffset = 124;
constexpr size_t kTarSizeLength = 12;
constexpr size_t kTarTypeOffset = 156;
constexpr size_t kTarMagicOffset = 257;
constexpr size_t kTarPrefixOffset = 345;  // POSIX ustar: the path's leading directories
constexpr size_t kTarPrefixLength = 155;
constexpr uint64_t kLongNameCap = 4096;   // longer names cannot match any lookup
constexpr uint64_t kPaxHeaderCap = 65536; // records past this are not read
constexpr size_t kMemberNameCapacity = 260;  // longest looked-up name is one less
constexpr uint64_t kMaxOffset = UINT32_MAX;  // stream offsets are 32-bit

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

char LowerAscii(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The size field: ASCII octal after optional leading blanks, ending at the
// first non-octal character or the end of the field. A field without any
// digit (a sign, base-256 or garbage) makes the header unusable.
bool ReadOctalSize(const unsigned char *field, uint64_t *value) {
  size_t i = 0;
  while (i < kTarSizeLength && (field[i] == ' ' || field[i] == '\t')) ++i;
  uint64_t result = 0;
  size_t digits = 0;
  for (; i < kTarSizeLength && field[i] >= '0' && field[i] <= '7'; ++i, ++digits) {
    result = result * 8 + static_cast<uint64_t>(field[i] - '0');  // 12 digits fit in 36 bits
  }
  *value = result;
  return digits > 0;
}

// A field of at most length bytes, NUL-terminated only when shorter.
std::string Field(const unsigned char *header, size_t offset, size_t length) {
  const char *text = reinterpret_cast<const char *>(header + offset);
  return std::string(text, strnlen(text, length));
}

// The member path as a tar tool wrote it: the ustar prefix joined to the name.
// The old GNU layout keeps other fields where the prefix would be.
std::string HeaderPath(const unsigned char *header) {
  std::string name = Field(header, kTarNameOffset, kTarNameLength);
  if (std::memcmp(header + kTarMagicOffset, "ustar\0", 6) == 0 && header[kTarPrefixOffset] != 0) {
    name = Field(header, kTarPrefixOffset, kTarPrefixLength) + "/" + name;
  }
  return name;
}

// "./a/b" and "a/b" name the same member (tools differ in how they write it).
const char *SkipDotSlash(const char *name) {
  while (name[0] == '.' && name[1] == '/') {
    name += 2;
    while (*name == '/') ++name;
  }
  return name;
}

bool SameName(const std::string &memberPath, const char *wanted) {
  const char *a = SkipDotSlash(memberPath.c_str());
  const char *b = SkipDotSlash(wanted);
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
  }
  return *a == *b;
}

// The "path" record of a pax extended header: records "<length> <key>=<value>\n",
// the length counting the whole record. False when there is none or the
// records are malformed.
bool PaxPath(const std::vector<unsigned char> &data, std::string *path) {
  bool found = false;
  size_t at = 0;
  while (at < data.size()) {
    size_t length = 0, i = at;
    while (i < data.size() && data[i] >= '0' && data[i] <= '9' && length < data.size()) {
      length = length * 10 + static_cast<size_t>(data[i] - '0');
      ++i;
    }
    if (i >= data.size() || data[i] != ' ' || length <= i - at + 1 || length > data.size() - at) {
      break;
    }
    const std::string record(reinterpret_cast<const char *>(&data[i + 1]), at + length - (i + 1));
    at += length;
    if (record.empty() || record.back() != '\n') break;
    if (record.compare(0, 5, "path=") == 0) {
      *path = record.substr(5, record.size() - 6);
      found = true;
    }
  }
  return found;
}

bool IsZeroBlock(const unsigned char *block) {
  for (uint64_t i = 0; i < kTarBlock; ++i) {
    if (block[i] != 0) return false;
  }
  return true;
}

}  // namespace

// --- KList -------------------------------------------------------------------

KList::KList() {
  head.next = &head;
  head.previous = &head;
}

KList::~KList() {
  KListItem *item = head.next;
  while (item != &head) {
    KListItem *following = item->next;
    item->next = nullptr;
    item->previous = nullptr;
    item = following;
  }
  head.next = &head;
  head.previous = &head;
  count = 0;
}

void KList::AddTail(KListItem *item) {
  if (item == nullptr || item->next != nullptr || item->previous != nullptr) return;
  item->previous = head.previous;
  item->next = &head;
  head.previous->next = item;
  head.previous = item;
  ++count;
}

void KList::Remove(KListItem *item) {
  if (item == nullptr || item == &head || item->next == nullptr || item->previous == nullptr) {
    return;
  }
  item->previous->next = item->next;
  item->next->previous = item->previous;
  item->next = nullptr;
  item->previous = nullptr;
  --count;
}

KListItem *KList::GetHead() const { return head.next == &head ? nullptr : head.next; }

KListItem *KList::GetNext(const KListItem *item) const {
  if (item == nullptr || item->next == nullptr || item->next == &head) return nullptr;
  return item->next;
}

// --- archive registry --------------------------------------------------------

KList &GetArchiveList() {
  // Unlinks (but neither closes nor deletes) the archives at exit.
  static KList archives;
  return archives;
}

uint32_t RegisterArchive(const char *path) {
  KArchive *archive = new KArchive();
  const uint32_t code = archive->Open(path, KFILE_READ);
  if (code != KFILE_OK) {
    delete archive;
    return code;
  }
  GetArchiveList().AddTail(archive);
  return KFILE_OK;
}

void ReleaseArchives() {
  KList &archives = GetArchiveList();
  while (KListItem *item = archives.GetHead()) {
    archives.Remove(item);
    delete item;  // the destructor closes it
  }
}

// --- KFile -------------------------------------------------------------------

KFile::~KFile() { Close(); }

uint32_t KFile::FindMember(const char *, KFile *) { return KFILE_WRONGSTATE; }

uint32_t KFile::Open(const char *path, int mode) {
  if (state == KFILE_STATE_OPEN) return KFILE_WRONGSTATE;
  if (mode != KFILE_READ) return KFILE_UNSUPPORTED;
  if (path == nullptr) return KFILE_NOTFOUND;

  // A path inside the program directory is looked up in the archives by the
  // rest of the path, lower-cased. Callers may have lower-cased the whole
  // path, so the directory is matched ignoring case, and the disk fallback
  // uses the directory as it really is (the file system is case-sensitive).
  std::string archiveName = path;
  std::string diskName = path;
  const std::string directory = KSystem::GetModuleDirectory();
  bool inDirectory = true;
  for (size_t i = 0; i < directory.size() && inDirectory; ++i) {
    const char c = path[i];
    inDirectory = c != '\0' && (LowerAscii(c) == LowerAscii(directory[i]) ||
                                (IsSeparator(c) && IsSeparator(directory[i])));
  }
  if (inDirectory && IsSeparator(path[directory.size()])) {
    archiveName = path + directory.size() + 1;
    diskName = directory + "/" + archiveName;
  }
  for (char &c : archiveName) c = LowerAscii(c);

  KList &archives = GetArchiveList();
  for (KListItem *item = archives.GetHead(); item != nullptr; item = archives.GetNext(item)) {
    KFile *archive = static_cast<KFile *>(item);
    if (archive != this && archive->FindMember(archiveName.c_str(), this) == KFILE_OK) {
      return KFILE_OK;
    }
  }

  FILE *file = std::fopen(diskName.c_str(), "rb");
  if (file == nullptr) return KFILE_NOTFOUND;
  handle = file;
  borrowed = false;
  state = KFILE_STATE_OPEN;
  start = 0;
  size = 0;
  return KFILE_OK;
}

void KFile::Close() {
  if (state == KFILE_STATE_CLOSED && handle == nullptr) return;
  if (handle != nullptr && !borrowed) std::fclose(handle);
  handle = nullptr;
  borrowed = false;
  state = KFILE_STATE_CLOSED;
  start = 0;
  size = 0;
}

uint32_t KFile::Seek(int origin, int offset) {
  if (state != KFILE_STATE_OPEN || handle == nullptr) return KFILE_WRONGSTATE;
  if (origin != KFILE_SEEK_SET && origin != KFILE_SEEK_CUR && origin != KFILE_SEEK_END) {
    return KFILE_UNSUPPORTED;
  }
  if (!borrowed) {
    // A plain file: the file's own start and end. A failed seek leaves the
    // position where it was and is not reported.
    const int whence = origin == KFILE_SEEK_SET ? SEEK_SET : origin == KFILE_SEEK_CUR ? SEEK_CUR : SEEK_END;
    std::fseek(handle, offset, whence);
    return KFILE_OK;
  }
  // A member: positions are relative to its start, its end is start + size
  // (also for an empty member). Like a failed disk seek, a target before the
  // member's start leaves the position unchanged.
  int64_t base = start;
  if (origin == KFILE_SEEK_CUR) {
    base = std::ftell(handle);
    if (base < 0) return KFILE_OK;
  } else if (origin == KFILE_SEEK_END) {
    base = static_cast<int64_t>(start) + size;
  }
  const int64_t target = base + offset;
  if (target < static_cast<int64_t>(start)) return KFILE_OK;
  std::fseek(handle, static_cast<long>(target), SEEK_SET);
  return KFILE_OK;
}

uint32_t KFile::Tell(unsigned *position) {
  if (state != KFILE_STATE_OPEN || handle == nullptr) return KFILE_WRONGSTATE;
  const long now = std::ftell(handle);
  const unsigned value = now >= static_cast<long>(start) ? static_cast<unsigned>(now - start) : 0;
  if (position != nullptr) *position = value;
  return now < 0 ? KFILE_READERROR : KFILE_OK;
}

uint32_t KFile::Read(void *buffer, unsigned count) {
  if (state == KFILE_STATE_CLOSED) return KFILE_WRONGSTATE;
  if (state != KFILE_STATE_OPEN || handle == nullptr) return KFILE_BADSTATE;
  if (count == 0 || buffer == nullptr) return KFILE_READERROR;
  size_t wanted = count;
  if (borrowed) {
    // The handle is shared with the archive: never read outside the member.
    const long now = std::ftell(handle);
    const int64_t end = static_cast<int64_t>(start) + size;
    if (now < static_cast<long>(start) || now > end) return KFILE_READERROR;
    const uint64_t left = static_cast<uint64_t>(end - now);
    if (wanted > left) wanted = static_cast<size_t>(left);
    if (wanted == 0) return KFILE_READERROR;
  }
  const size_t got = std::fread(buffer, 1, wanted, handle);
  return got == count ? KFILE_OK : KFILE_READERROR;
}

uint32_t KFile::OpenMember(KFile *archive, unsigned memberSize) {
  if (state != KFILE_STATE_CLOSED || archive == nullptr || archive->state != KFILE_STATE_OPEN) {
    return KFILE_WRONGSTATE;
  }
  if (archive->handle == nullptr) return KFILE_READERROR;
  const long position = std::ftell(archive->handle);
  if (position < 0 || static_cast<uint64_t>(position) + memberSize > kMaxOffset) {
    return KFILE_READERROR;
  }
  handle = archive->handle;
  borrowed = true;
  state = KFILE_STATE_OPEN;
  start = static_cast<uint32_t>(position);
  size = memberSize;
  return KFILE_OK;
}

// --- KArchive ----------------------------------------------------------------

uint32_t KArchive::FindMember(const char *name, KFile *target) {
  if (name == nullptr || target == nullptr) return KFILE_NOTFOUND;
  if (state != KFILE_STATE_OPEN) return KFILE_WRONGSTATE;
  if (handle == nullptr) return KFILE_READERROR;

  // A name that does not fit the lookup buffer fails instead of matching a
  // member named by its cut-off prefix.
  char wanted[kMemberNameCapacity];
  const size_t length = strnlen(name, kMemberNameCapacity);
  if (length >= kMemberNameCapacity) return KFILE_NOTFOUND;
  for (size_t i = 0; i < length; ++i) wanted[i] = name[i] == '\\' ? '/' : name[i];
  wanted[length] = '\0';

  // The archive spans its whole file, or its member's bytes when it is itself
  // a member of another archive.
  const uint64_t begin = start;
  uint64_t end = static_cast<uint64_t>(start) + size;
  if (!borrowed) {
    if (std::fseek(handle, 0, SEEK_END) != 0) return KFILE_READERROR;
    const long archiveLength = std::ftell(handle);
    if (archiveLength < 0) return KFILE_READERROR;
    end = static_cast<uint64_t>(archiveLength);
  }

  // Every header and member must lie inside the archive; positions only
  // grow, so the scan always ends.
  uint64_t position = begin;
  std::string longName, paxPath;
  bool haveLongName = false, longNameTooLong = false, havePaxPath = false;
  unsigned char header[kTarBlock];
  for (;;) {
    if (end < kTarBlock || position > end - kTarBlock) return KFILE_READERROR;  // truncated
    if (std::fseek(handle, static_cast<long>(position), SEEK_SET) != 0) return KFILE_READERROR;
    if (std::fread(header, 1, kTarBlock, handle) != kTarBlock) return KFILE_READERROR;
    if (IsZeroBlock(header)) return KFILE_NOTFOUND;

    uint64_t memberSize = 0;
    if (!ReadOctalSize(header + kTarSizeOffset, &memberSize)) return KFILE_READERROR;
    const uint64_t dataStart = position + kTarBlock;
    if (memberSize > end - dataStart) return KFILE_READERROR;  // runs past the end

    const unsigned char type = header[kTarTypeOffset];
    if (type == 'L' || type == 'x') {
      // A GNU long name or a pax extended header names the next member.
      std::vector<unsigned char> data(
          static_cast<size_t>(std::min(memberSize, type == 'L' ? kLongNameCap : kPaxHeaderCap)));
      if (!data.empty() && std::fread(data.data(), 1, data.size(), handle) != data.size()) {
        return KFILE_READERROR;
      }
      if (type == 'L') {
        longName.assign(reinterpret_cast<const char *>(data.data()),
                        strnlen(reinterpret_cast<const char *>(data.data()), data.size()));
        // A cut-off name must not match what its first part spells.
        haveLongName = memberSize <= kLongNameCap;
        longNameTooLong = !haveLongName;
      } else if (PaxPath(data, &paxPath)) {
        havePaxPath = true;
      }
    } else if (type != 'g' && type != 'K') {  // 'g' global pax records, 'K' GNU long link
      if ((type == '0' || type == '\0') && !longNameTooLong) {
        const std::string path = havePaxPath ? paxPath : haveLongName ? longName : HeaderPath(header);
        if (SameName(path, wanted)) {
          if (dataStart + memberSize > kMaxOffset) return KFILE_READERROR;
          // The handle stands just behind the header, at the member's data.
          if (std::fseek(handle, static_cast<long>(dataStart), SEEK_SET) != 0) return KFILE_READERROR;
          return target->OpenMember(this, static_cast<unsigned>(memberSize));
        }
      }
      havePaxPath = haveLongName = longNameTooLong = false;  // they named this member only
    }
    position = dataStart + (memberSize + kTarBlock - 1) / kTarBlock * kTarBlock;
  }
}
