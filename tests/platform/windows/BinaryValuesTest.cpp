// Binary values of stored layouts: a component's own raw data read from "{hex}" and written back,
// only when its owner says it needs writing.
#include <gtest/gtest.h>

#include "platform/windows/FormReader.h"
#include "platform/windows/FormWriter.h"

namespace plat {
namespace {

// Holds a few raw bytes under "Blob"; a first byte of 0xEE is refused as corrupt.
class TBlobHolder : public TComponent {
 public:
  using TComponent::TComponent;
  void DefineProperties(TFiler& filer) override {
    auto ancestor = dynamic_cast<const TBlobHolder*>(filer.Ancestor());
    filer.DefineBinaryProperty(
        "Blob", [this](TStream& s) { Read(s); },
        [this](TStream& s) { s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size())); },
        ancestor ? ancestor->bytes != bytes : !bytes.empty());
  }
  std::string bytes;
  int reads = 0;

 private:
  void Read(TStream& s) {
    std::string in(static_cast<size_t>(s.Size()), '\0');
    s.ReadBuffer(in.data(), s.Size());
    if (!in.empty() && static_cast<uint8_t>(in[0]) == 0xEE) throw EReadError("corrupt blob");
    bytes = in;
    ++reads;
  }
};

void RegisterBlobHolder() {
  if (FindComponentClass("TBlobHolder")) return;
  TClassRegistrar<TBlobHolder, TComponent>("TBlobHolder");
  RegisterComponentClass<TBlobHolder>("TBlobHolder");
}

std::string Layout(const std::string& body) {
  return "TBlobHolder Root {\n" + body + "}\n";
}

TEST(LayoutBinaryValues, WrittenBlocksReadBackByteForByte) {
  RegisterBlobHolder();
  TBlobHolder source(nullptr);
  for (int i = 0; i < 70; ++i) source.bytes += static_cast<char>(i * 37);
  const std::string lines = WriteDefinedProperties(source, "");
  // Lines of 32 bytes, upper-case digits.
  EXPECT_EQ(lines.substr(0, 11), "Blob = {\n  ");
  EXPECT_NE(lines.find("\n  A0C5"), std::string::npos) << lines;
  TBlobHolder read(nullptr);
  ReadLayoutText(read, Layout(lines), "blob.form", {});
  EXPECT_EQ(read.bytes, source.bytes);
  EXPECT_EQ(read.reads, 1);

  // Hand-written blocks: any case, blanks and comments between pairs, an empty block.
  ReadLayoutText(read, Layout("  Blob = { 0a Ff\n  # bytes\n  10 }\n"), "blob.form", {});
  EXPECT_EQ(read.bytes, std::string("\x0a\xff\x10", 3));
  ReadLayoutText(read, Layout("  Blob = {}\n"), "blob.form", {});
  EXPECT_EQ(read.bytes, "");
}

TEST(LayoutBinaryValues, TheOwnerDecidesWhetherTheValueIsWritten) {
  TBlobHolder holder(nullptr), ancestor(nullptr);
  EXPECT_EQ(WriteDefinedProperties(holder, "Holder"), "");
  holder.bytes = "\x01\x02";
  EXPECT_EQ(WriteDefinedProperties(holder, "Holder"), "Holder.Blob = {\n  0102\n}\n");
  ancestor.bytes = holder.bytes;
  EXPECT_EQ(WriteDefinedProperties(holder, "Holder", &ancestor), "");
  ancestor.bytes = "\x01";
  EXPECT_NE(WriteDefinedProperties(holder, "Holder", &ancestor), "");
}

struct BadBlob {
  const char* body;
  const char* message;
};

class LayoutBinaryErrors : public testing::TestWithParam<BadBlob> {};

TEST_P(LayoutBinaryErrors, NameTheLineAndKeepWhatWasRead) {
  RegisterBlobHolder();
  TBlobHolder holder(nullptr);
  holder.bytes = "kept";
  try {
    ReadLayoutText(holder, Layout(GetParam().body), "bad.form", {});
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
  EXPECT_EQ(holder.bytes, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutBinaryErrors,
    testing::Values(BadBlob{"  Blob = {0A 1}\n", "bad.form(2): Invalid binary data"},
                    BadBlob{"  Blob = {0G}\n", "bad.form(2): Invalid binary data"},
                    BadBlob{"  Blob = \"0A\"\n", "bad.form(2): Invalid value for Blob"},
                    BadBlob{"  Blob = {EE01}\n", "bad.form(2): Blob: corrupt blob"},
                    BadBlob{"  Lump = {01}\n",
                            "bad.form(2): Unknown property Lump of TBlobHolder"}));

TEST(LayoutBinaryValues, AnUnclosedBlockIsAnError) {
  RegisterBlobHolder();
  TBlobHolder holder(nullptr);
  try {
    ReadLayoutText(holder, "TBlobHolder Root {\n  Blob = {0A\n  0B\n", "open.form", {});
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()), "open.form(4): Missing '}' after binary data");
  }
}

}  // namespace
}  // namespace plat
