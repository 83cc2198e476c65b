#include "document/AppDoc.h"

#include "document/Delay.h"
#include "document/History.h"
#include "document/HistoryAccess.h"
#include "engine/Core.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "plugin/HostPicture.h"
#include "plugin/Options.h"

namespace app {

struct AppDocMember {
  Core Engine;
  Image Picture;         // 4 bytes a pixel: red, green, blue, alpha
  Image PreviousPicture; // the picture at the last recorded state
  int32_t PictureWidth = 0;
  int32_t PictureHeight = 0;
  app::History History{GetOptions()};
  bool Created = false; // OnCreateDocument completed
};

AppDoc::AppDoc() : Member(std::make_unique<AppDocMember>()) {}

AppDoc::~AppDoc() = default;

void AppDoc::OnCreateDocument() {
  AppDocMember &m = *Member;
  m.Created = false;
  const auto [width, height] = GetHostPictureSize();
  m.PictureWidth = width;
  m.PictureHeight = height;
  m.Engine.SetPictureSize(width, height);
  m.Picture.Reset(width, height, 4);
  m.Picture.Clear();
  LoadHostPicture(m.Picture);
  m.PreviousPicture.CopyFrom(m.Picture);
  m.Created = true;
}

void AppDoc::OnCloseDocument() {
  if (Member->Created)
    StoreHostPicture(Member->Picture);
}

Core &AppDoc::GetEngine() { return Member->Engine; }

Image &AppDoc::GetPicture() { return Member->Picture; }

const Image &AppDoc::GetPreviousPicture() const { return Member->PreviousPicture; }

std::pair<int32_t, int32_t> AppDoc::GetPictureSize() const {
  return {Member->PictureWidth, Member->PictureHeight};
}

const History &AppDoc::GetHistory() const { return Member->History; }

void AppDoc::RecordChange() {
  AppDocMember &m = *Member;
  {
    HistoryWriter writer(m.History);
    if (writer.Begin()) {
      DelayBuffer picture(m.Picture.GetBits(), m.Picture.GetByteSize());
      DelayBuffer previous(m.PreviousPicture.GetBits(), m.PreviousPicture.GetByteSize());
      DelayDiff difference(picture, previous, false);
      writer.Write(difference);
      if (difference.HasChanged())
        writer.Commit(DocumentOwnerTag, ImageKindTag);
      writer.End();
    }
  }
  m.PreviousPicture.CopyFrom(m.Picture);
}

void AppDoc::Replay(bool backward) {
  AppDocMember &m = *Member;
  HistoryReader reader(m.History);
  reader.Begin(backward);
  for (; !reader.IsEnd(); reader.Next()) {
    if (reader.GetKind() != ImageKindTag)
      continue;
    unsigned char *bits = m.Picture.GetWritableBits();
    const int32_t size = m.Picture.GetByteSize();
    DelayBuffer picture(bits, size);
    std::unique_ptr<Delay> stored;
    reader.ReadBlock(stored);
    // Each restored byte goes back where it came from: no second picture-sized buffer.
    DelayDiff difference(picture, *stored, !backward);
    if (difference.Read(bits, size) != size)
      throw Exception(ErrorUnknown); // a block shorter than the picture: not one of ours
    m.PreviousPicture.CopyFrom(m.Picture);
  }
  reader.End();
}

void AppDoc::Undo() { Replay(true); }

void AppDoc::Redo() { Replay(false); }

bool AppDoc::CanUndo() const { return Member->History.CanUndo(); }

bool AppDoc::CanRedo() const { return Member->History.CanRedo(); }

void AppDoc::TrimHistory() { Member->History.ApplyLimit(); }

} // namespace app
