// The painting document: the picture of one run, its last recorded state, the particle engine
// and the undo history.
//
// It loads the host's picture when its view is created and hands the picture back when the main
// window closes. Each finished painting action becomes one history entry: the compressed
// byte-wise difference between the picture and its last recorded state. Undo subtracts such a
// difference again, redo adds it, so both restore the picture byte for byte.
#pragma once

#include "framework/Document.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace app {

class Core;
class History;
class Image;

// A four-character tag: the int32 whose bytes in memory spell the text.
constexpr int32_t FourCharacterTag(const char (&text)[5]) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned char>(text[0])) |
                              static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
                              static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
                              static_cast<uint32_t>(static_cast<unsigned char>(text[3])) << 24);
}

// The owner tag of the document's history items and the kind tag of a picture difference.
constexpr int32_t DocumentOwnerTag = FourCharacterTag("Docu");
constexpr int32_t ImageKindTag = FourCharacterTag("Imag");

struct AppDocMember;

class AppDoc : public Document {
public:
  AppDoc();
  ~AppDoc() override;

  // Sizes the engine and the picture for the host's picture and loads it; the loaded picture
  // is the first recorded state.
  void OnCreateDocument() override;
  // Hands the picture, as it is at this moment, back to the host. A document whose creation
  // did not complete hands nothing back, so the host keeps its own picture.
  void OnCloseDocument() override;

  Core &GetEngine();
  Image &GetPicture();
  // The picture as it was when the last change was recorded (or loaded).
  const Image &GetPreviousPicture() const;
  std::pair<int32_t, int32_t> GetPictureSize() const;
  const History &GetHistory() const;

  // Records the difference since the last recorded state as one history entry (nothing when
  // no byte differs or recording is off) and makes the picture the new recorded state. On an
  // exception the history and the recorded state stay as they were.
  void RecordChange();
  // Replay one history entry backward or forward onto the picture.
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  // Drops history entries beyond HistoryMax (redo steps first, then the oldest).
  void TrimHistory();

private:
  void Replay(bool backward);

  std::unique_ptr<AppDocMember> Member;
};

} // namespace app
