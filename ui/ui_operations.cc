#include "ui/ui_operations.h"

#include "runtime/gbk.h"

namespace zelkor {

const Text& DefaultMessageCaption() {
  static const Text caption = Gbk("信息：");
  return caption;
}

}  // namespace zelkor
