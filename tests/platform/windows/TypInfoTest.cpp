// The property table: kinds, names of enumerations and sets, inheritance, errors.
#include <gtest/gtest.h>

#include "platform/runtime/TypInfo.h"
#include "platform/windows/Controls.h"
#include "platform/windows/StdCtrls.h"

namespace plat {
namespace {

enum TFlavour : uint8_t { flSweet, flSour, flBitter };

class TSample : public TPersistent {
 public:
  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  TFlavour Flavour() const { return flavour_; }
  void SetFlavour(TFlavour v) { flavour_ = v; }
  uint32_t Flavours() const { return flavours_; }
  void SetFlavours(uint32_t v) { flavours_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  const std::string& Label() const { return label_; }
  void SetLabel(const std::string& v) { label_ = v; }
  TNotifyEvent OnPoke;

 private:
  int count_ = 0;
  TFlavour flavour_ = flSweet;
  uint32_t flavours_ = 0;
  double ratio_ = 0;
  std::string label_;
};

class TDerivedSample : public TSample {
 public:
  bool Ready() const { return ready_; }
  void SetReady(bool v) { ready_ = v; }
  // Redeclared with a doubled meaning, to check that the derived entry wins.
  int Count() const { return TSample::Count() / 2; }
  void SetCount(int v) { TSample::SetCount(v * 2); }

 private:
  bool ready_ = false;
};

const TEnumInfo flavourInfo{"TFlavour", {"flSweet", "flSour", "flBitter"}};

void RegisterSamples() {
  TClassRegistrar<TSample, TPersistent>("TSample")
      .Prop("Count", tkInteger, &TSample::Count, &TSample::SetCount)
      .Prop("Flavour", tkEnumeration, &TSample::Flavour, &TSample::SetFlavour, &flavourInfo)
      .Prop("Flavours", tkSet, &TSample::Flavours, &TSample::SetFlavours, &flavourInfo)
      .Prop("Ratio", tkFloat, &TSample::Ratio, &TSample::SetRatio)
      .Prop("Label", tkString, &TSample::Label, &TSample::SetLabel)
      .Event("OnPoke", &TSample::OnPoke);
  TClassRegistrar<TDerivedSample, TSample>("TDerivedSample")
      .Prop("Ready", tkEnumeration, &TDerivedSample::Ready, &TDerivedSample::SetReady,
            &BooleanInfo())
      .Prop("Count", tkInteger, &TDerivedSample::Count, &TDerivedSample::SetCount);
}

TEST(PropertyTable, ValuesTravelByKindAndNamesResolveCaseInsensitively) {
  RegisterSamples();
  TSample s;
  SetPropValue(s, "count", int64_t{42});
  SetPropValue(s, "FLAVOUR", int64_t{flBitter});
  SetPropValue(s, "Ratio", 0.25);
  SetPropValue(s, "Label", std::string("x"));
  EXPECT_EQ(s.Count(), 42);
  EXPECT_EQ(s.Flavour(), flBitter);
  EXPECT_EQ(s.Ratio(), 0.25);
  EXPECT_EQ(s.Label(), "x");
  EXPECT_EQ(std::get<int64_t>(GetPropValue(s, "Count")), 42);

  int pokes = 0;
  SetPropValue(s, "OnPoke", std::any(TNotifyEvent([&](TObject*) { ++pokes; })));
  s.OnPoke(&s);
  EXPECT_EQ(pokes, 1);
  // A handler of another signature is refused and the event stays as it was.
  EXPECT_THROW(SetPropValue(s, "OnPoke", std::any(std::function<void()>([] {}))), EPropertyError);
  s.OnPoke(&s);
  EXPECT_EQ(pokes, 2);
}

TEST(PropertyTable, EnumerationsAndSetsReadAndWriteAsNames) {
  RegisterSamples();
  TSample s;
  const TPropInfo* flavour = FindPropInfo(s, "Flavour");
  const TPropInfo* flavours = FindPropInfo(s, "Flavours");
  ASSERT_TRUE(flavour && flavours);
  SetVariantProp(s, *flavour, std::string("flsour"));
  EXPECT_EQ(s.Flavour(), flSour);
  EXPECT_EQ(std::get<std::string>(GetVariantProp(s, *flavour)), "flSour");
  SetVariantProp(s, *flavours, std::string("[flSweet, flBitter]"));
  EXPECT_EQ(s.Flavours(), (1u << flSweet) | (1u << flBitter));
  EXPECT_EQ(std::get<std::string>(GetVariantProp(s, *flavours)), "[flSweet,flBitter]");
  SetVariantProp(s, *flavours, std::string("[]"));
  EXPECT_EQ(s.Flavours(), 0u);
  EXPECT_THROW(SetVariantProp(s, *flavour, std::string("flSalty")), EPropertyError);
  EXPECT_THROW(SetVariantProp(s, *flavours, std::string("[flSour,,flSweet]")), EPropertyError);
  EXPECT_EQ(s.Flavour(), flSour);
}

TEST(PropertyTable, DerivedClassesInheritAndRedeclare) {
  RegisterSamples();
  TDerivedSample d;
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(d, tkProperties)) names.push_back(p->Name);
  // Parent's order, the redeclared Count in its parent's place, events left out.
  EXPECT_EQ(names,
            (std::vector<std::string>{"Count", "Flavour", "Flavours", "Ratio", "Label", "Ready"}));
  SetPropValue(d, "Count", int64_t{5});
  EXPECT_EQ(d.TSample::Count(), 10);
  EXPECT_EQ(ClassInfoOf(d)->Name, "TDerivedSample");

  // An unregistered class is served by its nearest registered ancestor.
  struct TUnregistered : TDerivedSample {};
  TUnregistered u;
  EXPECT_EQ(ClassInfoOf(u)->Name, "TDerivedSample");
  EXPECT_THROW(GetPropValue(u, "Colour"), EPropertyError);
}

TEST(PropertyTable, WrongKindsAndReadOnlyPropertiesAreRefusedWithoutChange) {
  RegisterSamples();
  TSample s;
  s.SetCount(3);
  EXPECT_THROW(SetPropValue(s, "Count", std::string("four")), EPropertyError);
  EXPECT_THROW(SetPropValue(s, "Label", int64_t{4}), EPropertyError);
  EXPECT_THROW(SetPropValue(s, "Nothing", int64_t{4}), EPropertyError);
  EXPECT_EQ(s.Count(), 3);
  // An integer is a fine float.
  SetPropValue(s, "Ratio", int64_t{2});
  EXPECT_EQ(s.Ratio(), 2.0);
  // Ordinals outside the enumeration have no name.
  s.SetFlavour(static_cast<TFlavour>(7));
  EXPECT_THROW(GetVariantProp(s, *FindPropInfo(s, "Flavour")), EPropertyError);

  RegisterControlProperties();
  TButton button(nullptr);
  // ClientRect-based sizes are writable, the class name of a control is found by name too.
  SetPropValue(button, "ClientWidth", int64_t{90});
  EXPECT_EQ(button.Width(), 90);
  ASSERT_NE(FindClassInfo("tbutton"), nullptr);
  EXPECT_EQ(FindClassInfo("TButton")->Parent->Name, "TWinControl");
  EXPECT_EQ(FindClassInfo("TNoSuchClass"), nullptr);
}

TEST(PropertyTable, ListsFilterByKind) {
  RegisterSamples();
  TSample s;
  std::vector<std::string> events, enums;
  for (const TPropInfo* p : GetPropList(s, TypeKindBit(tkMethod))) events.push_back(p->Name);
  for (const TPropInfo* p : GetPropList(s, TypeKindBit(tkEnumeration) | TypeKindBit(tkSet)))
    enums.push_back(p->Name);
  EXPECT_EQ(events, (std::vector<std::string>{"OnPoke"}));
  EXPECT_EQ(enums, (std::vector<std::string>{"Flavour", "Flavours"}));
  EXPECT_EQ(SetToString(flavourInfo, 0), "[]");
  EXPECT_EQ(StringToSet(flavourInfo, " flSour , flBitter "), (1 << flSour) | (1 << flBitter));
}

TEST(PropertyTable, ControlPropertiesAreRegistered) {
  RegisterControlProperties();
  TCheckBox box(nullptr);
  SetVariantProp(box, *FindPropInfo(box, "Anchors"), std::string("[akRight,akBottom]"));
  EXPECT_EQ(box.Anchors(), (1 << akRight) | (1 << akBottom));
  SetVariantProp(box, *FindPropInfo(box, "Visible"), std::string("False"));
  EXPECT_FALSE(box.Visible());
  TObject* font = std::get<TObject*>(GetPropValue(box, "Font"));
  SetVariantProp(*font, *FindPropInfo(*font, "Style"), std::string("[fsItalic]"));
  EXPECT_EQ(box.Font()->Style(), fsItalic);
}

}  // namespace
}  // namespace plat
