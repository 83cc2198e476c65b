#include "document/HistoryAccess.h"

#include "document/History.h"

#include <stdexcept>

namespace app {

struct HistoryWriterMember {
  app::History *History = nullptr;
  std::unique_ptr<HistoryItem> Item;
  int32_t WritePosition = 0;
  bool Open = false;
};

HistoryWriter::HistoryWriter(History &history) : Member(std::make_unique<HistoryWriterMember>()) {
  Member->History = &history;
}

HistoryWriter::~HistoryWriter() {
  if (Member->Open)
    Member->History->AbortWrite();
}

bool HistoryWriter::Begin() {
  HistoryWriterMember &m = *Member;
  if (m.Open || !m.History->BeginWrite())
    return false;
  m.Open = true;
  m.Item = std::make_unique<HistoryItem>();
  m.WritePosition = 0;
  return true;
}

void HistoryWriter::Write(Delay &source) {
  HistoryWriterMember &m = *Member;
  if (!m.Open || !m.Item)
    throw std::logic_error("HistoryWriter::Write without an open write");
  m.Item->AppendBlock(m.WritePosition, source);
}

void HistoryWriter::Commit(int32_t owner, int32_t kind) {
  HistoryWriterMember &m = *Member;
  if (!m.Open || !m.Item || m.Item->GetDirectoryLength() == 0)
    return;
  m.Item->SetTags(owner, kind);
  m.Item->TrimDirectory(m.WritePosition);
  m.History->AddItem(std::move(m.Item));
  m.WritePosition = 0;
  m.Item = std::make_unique<HistoryItem>();
}

void HistoryWriter::End() {
  HistoryWriterMember &m = *Member;
  if (!m.Open)
    return;
  m.Open = false; // EndWrite closes the write even when filing fails
  m.History->EndWrite();
}

// ---------------------------------------------------------------------------------------------

struct HistoryReaderMember {
  app::History *History = nullptr;
  HistoryItem *Item = nullptr;
  int32_t ReadPosition = 0;
  bool Open = false;
  bool Backward = false;
};

HistoryReader::HistoryReader(History &history) : Member(std::make_unique<HistoryReaderMember>()) {
  Member->History = &history;
}

HistoryReader::~HistoryReader() {
  if (Member->Open)
    Member->History->AbortRead();
}

void HistoryReader::Begin(bool backward) {
  HistoryReaderMember &m = *Member;
  m.Backward = backward;
  m.History->BeginRead(backward);
  // Open before the first item: when there is no record to read, the destructor must still
  // end the read, or the history would go on believing a replay is running.
  m.Open = true;
  m.ReadPosition = 0;
  m.Item = m.History->NextItem();
}

bool HistoryReader::IsEnd() const { return Member->Item == nullptr; }

int32_t HistoryReader::GetKind() const {
  if (Member->Item == nullptr)
    throw std::logic_error("HistoryReader::GetKind past the end");
  return Member->Item->GetKind();
}

void HistoryReader::ReadBlock(std::unique_ptr<Delay> &slot) {
  if (Member->Item == nullptr)
    throw std::logic_error("HistoryReader::ReadBlock past the end");
  Member->Item->OpenBlock(Member->ReadPosition, slot);
}

void HistoryReader::Next() {
  HistoryReaderMember &m = *Member;
  m.Item = m.History->NextItem();
  m.ReadPosition = 0;
}

void HistoryReader::End() {
  HistoryReaderMember &m = *Member;
  if (!m.Open)
    return;
  m.Open = false;
  m.History->EndRead();
}

} // namespace app
