// The abstract document of the window framework: the content a view shows.
//
// A view owns exactly one document. The view tells it when the view's window exists (so that
// it can load its content) and when the frame is about to close (so that it can hand its
// content on while every window still exists). The base holds no data.
#pragma once

namespace app {

class Document {
public:
  Document() = default;
  Document(const Document &) = delete;
  Document &operator=(const Document &) = delete;
  virtual ~Document() = 0;

  // Called once the view's window has been created, before the view's own initial update.
  virtual void OnCreateDocument() = 0;
  // Called when the frame is closing, before any window is destroyed.
  virtual void OnCloseDocument() = 0;
};

inline Document::~Document() = default;

} // namespace app
