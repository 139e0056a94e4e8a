#pragma once
class QByteArray;
class QTextDocument;
namespace pagesift {
// Reads rich text (RTF) into `document`, replacing what it held. Returns false
// and leaves `document` untouched when `bytes` do not begin with "{\rtf".
// Malformed, truncated or hostile input shows whatever could be read. The
// reading is rtf_tokenizer.h's; this builds the document.
bool ReadRtf(const QByteArray& bytes, QTextDocument& document);
}  // namespace pagesift
