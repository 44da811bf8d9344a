// KFile: read-only byte stream over a plain file on disk or a member of a
// registered archive (uncompressed POSIX ustar tar). KFile::Open asks every
// registered archive, in registration order, for the path relative to the
// program directory before it falls back to the disk.
//
// All operations return a 32-bit result code (KFILE_* below, 0 = success).
// Main thread only.
#pragma once

#include <cstdint>
#include <cstdio>

// Result codes.
constexpr uint32_t KFILE_OK = 0;
constexpr uint32_t KFILE_WRONGSTATE = 100;   // open while open, op on closed stream, no member
constexpr uint32_t KFILE_BADSTATE = 101;     // read on a stream neither closed nor open
constexpr uint32_t KFILE_UNSUPPORTED = 102;  // open mode other than read, unknown seek origin
constexpr uint32_t KFILE_NOTFOUND = 104;     // not in any archive nor on disk; end of archive
constexpr uint32_t KFILE_READERROR = 106;    // failed/short/zero read, corrupt archive

// Open mode and stream states.
constexpr int KFILE_READ = 1000;
constexpr int32_t KFILE_STATE_CLOSED = 0;
constexpr int32_t KFILE_STATE_OPEN = 1000;

// Seek origins.
constexpr int KFILE_SEEK_SET = 0;
constexpr int KFILE_SEEK_CUR = 1;
constexpr int KFILE_SEEK_END = 2;

// Base of everything kept in a KList: two links, null while unlinked.
class KListItem {
public:
  KListItem() = default;
  virtual ~KListItem() = default;
  KListItem(const KListItem &) = delete;
  KListItem &operator=(const KListItem &) = delete;

  KListItem *next = nullptr;
  KListItem *previous = nullptr;
};

// Circular doubly linked list with a sentinel head and a count. Items are
// borrowed: the list never deletes them, and unlinks them when destroyed.
class KList {
public:
  KList();
  ~KList();
  KList(const KList &) = delete;
  KList &operator=(const KList &) = delete;

  void AddTail(KListItem *item);     // item must be unlinked
  void Remove(KListItem *item);      // item must be in this list
  KListItem *GetHead() const;        // first item, nullptr when empty
  KListItem *GetNext(const KListItem *item) const;  // nullptr after the last
  int GetCount() const { return count; }

private:
  KListItem head;
  int count = 0;
};

class KFile : public KListItem {
public:
  KFile() = default;
  ~KFile() override;  // closes

  // Looks for a member called name and opens target on it. A plain stream
  // holds no members: KFILE_WRONGSTATE.
  virtual uint32_t FindMember(const char *name, KFile *target);

  // mode must be KFILE_READ; on success the stream reads the member or the
  // disk file from its start.
  uint32_t Open(const char *path, int mode);
  // Closes the handle unless it belongs to an archive; no-op when closed.
  void Close();
  // origin 0 from the start, 1 from the current position, 2 from the end.
  uint32_t Seek(int origin, int offset);
  // Position relative to the start of the file or member.
  uint32_t Tell(unsigned *position);
  // Reads exactly count bytes or fails with KFILE_READERROR. A member never
  // reads past its own end.
  uint32_t Read(void *buffer, unsigned count);
  // Makes this closed stream a view of size bytes at the archive's current
  // position, sharing (borrowing) the archive's handle.
  uint32_t OpenMember(KFile *archive, unsigned size);

  bool IsOpen() const { return state == KFILE_STATE_OPEN; }

protected:
  FILE *handle = nullptr;
  bool borrowed = false;          // the handle belongs to an archive
  int32_t state = KFILE_STATE_CLOSED;
  uint32_t start = 0;             // offset of the data within the handle
  uint32_t size = 0;              // member size; 0 for a plain file
};

// A stream on a tar archive whose FindMember searches the archive's directory.
class KArchive : public KFile {
public:
  uint32_t FindMember(const char *name, KFile *target) override;
};

// Opens an archive on path and appends it to the registry. Returns the open's
// code on failure (nothing is registered), else KFILE_OK.
uint32_t RegisterArchive(const char *path);

// The archive registry, searched from the head.
KList &GetArchiveList();

// Closes, unlinks and deletes every registered archive (tests, clean exit).
void ReleaseArchives();
