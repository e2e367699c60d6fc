#include "text/FontStream.h"

#include <vellix/Stream.h>

#include "encode/Ascii85.h"
#include "encode/ZlibStream.h"
#include "writer/PdfWriter.h"

namespace Vellix {

int32_t WriteFontStream(TPdfWriter& aWriter, const std::vector<uint8_t>& aData, bool aBinary,
                        const std::vector<std::string>& aEntries) {
  TMemoryStream compressed;
  {
    TCompressionStream zip(clDefault, compressed);
    zip.Write(aData.data(), int64_t(aData.size()));
    zip.Finish();  // here, so that a failure is reported rather than swallowed
  }
  TMemoryStream encoded;
  if (!aBinary) {
    compressed.SetPosition(0);
    EncodeASCII85(compressed, encoded);
  }
  TMemoryStream& stream = aBinary ? compressed : encoded;
  const int32_t objectNo = aWriter.BeginDic();
  aWriter.WriteLine(aBinary ? "/Filter /FlateDecode" : "/Filter [/ASCII85Decode /FlateDecode]");
  aWriter.WriteLine("/Length " + std::to_string(stream.Size()));
  for (const std::string& entry : aEntries) aWriter.WriteLine(entry);
  aWriter.WriteLine(">>");
  aWriter.WriteLine("stream");
  aWriter.WriteRaw(stream.Memory(), stream.Size());
  if (aBinary) aWriter.WriteLine("");
  aWriter.EndObject("endstream");
  return objectNo;
}

}  // namespace Vellix
