// Taking turns among writers of one paired-file store (internal to the storage code).
//
// The lock is an flock on the directory that holds file 1, so it needs no lock file
// that a reader or the choice of the current file could mistake for part of a store.
// Writers of other stores in the same directory wait too; a store is written in
// moments, so that costs little.
#ifndef KORVELIN_STORAGE_STORE_LOCK_H
#define KORVELIN_STORAGE_STORE_LOCK_H

class StoreLock {
 public:
  // Waits for the lock of the store whose file 1 is at path. When the directory cannot
  // be opened for reading the writer goes on unlocked.
  explicit StoreLock(const char* file1);
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

#endif
