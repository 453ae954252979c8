#include "ui/page_texts.h"

#include "runtime/gbk.h"

#ifndef ZELKOR_PRODUCT_WEBSITE
#error "ZELKOR_PRODUCT_WEBSITE must be set by the build"
#endif

namespace zelkor {

const Text& ProductWebsite() {
  static const Text website = Gbk(ZELKOR_PRODUCT_WEBSITE);
  return website;
}

const PageTexts& InitialPageTexts() {
  static const PageTexts texts{
      .separator = Gbk("┊"),
      .name = Gbk("Zelkor3D杀码"),
      .left = Gbk("【"),
      .right = Gbk("】"),
      .correct = Gbk("准√"),
      .wrong = Gbk("错Ｘ"),
      .not_drawn = Gbk("未开"),
      .footer =
          Gbk("注:Zelkor祝大家天天中奖,玩彩要注意\"心\"\"气\"\"神\"!\r\n   ") + ProductWebsite(),
  };
  return texts;
}

}  // namespace zelkor
