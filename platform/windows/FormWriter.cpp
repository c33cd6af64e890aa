#include "platform/windows/FormWriter.h"

namespace plat {
namespace {

constexpr int kBytesPerLine = 32;

// "{", the bytes as hexadecimal pairs in indented lines, "}".
std::string HexBlock(const uint8_t* bytes, int64_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "{";
  for (int64_t i = 0; i < count; ++i) {
    if (i % kBytesPerLine == 0) text += "\n  ";
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  text += count > 0 ? "\n}" : "}";
  return text;
}

class TLayoutWriter : public TFiler {
 public:
  TLayoutWriter(std::string_view path, const TPersistent* ancestor)
      : TFiler(ancestor), prefix_(path.empty() ? std::string() : std::string(path) + ".") {}

  void DefineBinaryProperty(const std::string& name, const TStreamProc&,
                            const TStreamProc& writeData, bool hasData) override {
    if (!hasData) return;
    TMemoryStream data;
    writeData(data);
    text_ += prefix_ + name + " = " +
             HexBlock(static_cast<const uint8_t*>(data.Memory()), data.Size()) + "\n";
  }
  const std::string& Text() const { return text_; }

 private:
  std::string prefix_;
  std::string text_;
};

}  // namespace

std::string WriteDefinedProperties(TPersistent& object, std::string_view path,
                                   const TPersistent* ancestor) {
  TLayoutWriter writer(path, ancestor);
  object.DefineProperties(writer);
  return writer.Text();
}

}  // namespace plat
