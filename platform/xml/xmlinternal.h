#pragma once
// Shared pieces of the XML layer's implementation: text conversion, error
// capture from libxml2 and libxslt, and atomic file writing. Not for callers
// outside platform/xml.
#include <string>
#include <string_view>

#include <sys/stat.h>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "platform/rtl/types.h"

namespace xmlimpl {

// libxml2 and libxslt set up once per process: the parser initialised, the
// EXSLT extensions registered, and the style-sheet loader and default
// security settings of the transformation installed (no network, no file
// writes, no new folders).
void EnsureLibraries();

std::string ToUTF8(std::u16string_view Text);
String FromUTF8(const unsigned char* Text);  // nullptr gives ""

// Collects, while it lives, the errors libxml2 reports on this thread
// (structured and plain) and the ones libxslt reports through its generic
// channel. Restores the previous handlers when it dies.
class TErrorCapture {
public:
  TErrorCapture();
  ~TErrorCapture();
  TErrorCapture(const TErrorCapture&) = delete;
  TErrorCapture& operator=(const TErrorCapture&) = delete;

  // Records one error (handlers call this).
  void Add(const std::string& Message, int Line, bool IsError);
  bool HasError() const { return !FFirstError.empty(); }
  // The first error's message, or the first warning's, or "".
  const std::string& Message() const { return FFirstError.empty() ? FFirstWarning : FFirstError; }
  int Line() const { return FFirstError.empty() ? FWarningLine : FErrorLine; }
  // Every message, one a line (for the transformation's report).
  std::string All() const { return FAll + FPending; }
  // Handler for printf-style channels; Context is the capture.
  static void Generic(void* Context, const char* Format, ...);

private:
  std::string FFirstError, FFirstWarning, FAll, FPending;
  int FErrorLine = 0, FWarningLine = 0;
  xmlStructuredErrorFunc FOldStructured;
  void* FOldStructuredContext;
  xmlGenericErrorFunc FOldGeneric;
  void* FOldGenericContext;
  xmlGenericErrorFunc FOldXslt;
  void* FOldXsltContext;
};

// Why a file with this status may not be read as XML ("" when it may): it
// is not a regular file, or it is larger than MaxXMLFileSize.
String FileRefusal(const struct stat& Info);
String TooLargeReason();

// Replaces every reference to an internal entity in Node's subtree by a
// copy of the entity's content, as Source (the document the entities were
// declared and read in) holds it, so that the style-sheet compiler sees
// plain nodes. References to external entities, which are never read,
// vanish. Raises EXMLDocError when more than Budget references were
// replaced (Budget is counted down).
void ResolveEntityReferences(_xmlNode* Node, _xmlDoc* Source, int& Budget);
// The reference budget of one style sheet.
inline constexpr int StyleSheetEntityBudget = 100000;

// Writes Bytes to a new file beside FileName, then renames it over
// FileName. On any failure the temporary file is removed, FileName is left
// as it was, and EXMLDocError names the file and the system's reason.
void WriteFileAtomically(const String& FileName, std::string_view Bytes);

}  // namespace xmlimpl
