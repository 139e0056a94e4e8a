// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once
class QByteArray;
class QTextDocument;
namespace pagesift {
// Reads rich text (RTF) into `document`, replacing what it held. Returns false
// and leaves `document` untouched when `bytes` do not begin with "{\rtf".
// Malformed, truncated or hostile input shows whatever could be read, in a
// document whose cost is bounded (rtf_reader.cpp has the figures): runs of
// formatted text and paragraphs, the length of a paragraph (the rest of
// either shown as plain text), font sizes from 6 to 144 pt, the length of a
// word without a break opportunity, and the document's length and height
// (the rest not shown). The reading is rtf_tokenizer.h's; this builds the
// document.
bool ReadRtf(const QByteArray& bytes, QTextDocument& document);
}  // namespace pagesift
