// Where the program meets something outside it that a test stands in for.
// There are five, and only these:
//   win::g_messageBox        the message box (win/ui.h); null is the real one
//   g_beforeRename           the menu's run before each rename (engine/rename_run.h);
//                            null for nothing
//   g_getShortPathName       the file system's short-name lookup
//                            (audio_library/library_path.h)
//   g_vbmp3                  VBMP3.dll's entry points (audio_library/vbmp3_api.h)
//   g_vbsock                 VBSOCK.dll's entry points (options/sstp/vbsock_api.h)
// The program reads a seam and never changes it, but for the libraries'
// loaders, which fill in the entry points once. A test replaces one for a
// scope with a Replacement, which puts back what was there when the scope
// ends, whether the test passed or not.
#pragma once
#include <utility>

namespace win {

template <typename T>
class Seam {
 public:
  constexpr explicit Seam(T value) : value_(std::move(value)) {}
  Seam(const Seam&) = delete;
  Seam& operator=(const Seam&) = delete;

  const T& operator*() const { return value_; }
  const T* operator->() const { return &value_; }

  // For the libraries' loaders.
  void Set(T value) { value_ = std::move(value); }

  // For tests: standIn takes the seam's place until this goes.
  class [[nodiscard]] Replacement {
   public:
    Replacement(Seam& seam, T standIn) : seam_(seam), saved_(std::move(seam.value_)) {
      seam_.value_ = std::move(standIn);
    }
    ~Replacement() { seam_.value_ = std::move(saved_); }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

   private:
    Seam& seam_;
    T saved_;
  };

 private:
  T value_;
};

}  // namespace win
