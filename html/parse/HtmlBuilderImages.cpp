// Pictures in text: IMG.
#include "html/images/ImageObjects.h"
#include "html/parse/DocumentBuilderState.h"

namespace html {

void THtmlBuilder::DoImage() {
  TSection& section = EnsureSection();
  const bool pushed = PushCurrent("img");
  if (pushed) OpenInlineBorder();
  auto image =
      std::make_unique<TImageObj>(&document_, int32_t(section.Text.size()), tok_.Attributes);
  image->InLink = inLink_ && !link_.URL.empty();
  image->ApplyProperties(stack_.Last());
  section.AddFloatingObj(std::move(image), tok_.TagStart);
  if (pushed) PopPropertiesTo("img");
}

}  // namespace html
