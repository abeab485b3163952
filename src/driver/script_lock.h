#pragma once

// Runs in one folder take turns at the script: each holds this lock from before it opens
// the temporary file until its own script is in place, so two runs never write the same
// temporary file. A second run waits. The lock is a file beside the script that the system
// lets go of when its holder ends, however it ends: a killed run keeps no one waiting.
class ScriptLock {
 public:
  ScriptLock();  // waits for the lock
  ~ScriptLock();
  ScriptLock(const ScriptLock&) = delete;
  ScriptLock& operator=(const ScriptLock&) = delete;

  // False if the lock file cannot be made: the folder `text` is missing or read-only.
  bool held() const { return held_; }

 private:
  bool held_ = false;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
  bool exclusive_ = false;  // false where the file system has no locks: runs go on as before
#endif
};
