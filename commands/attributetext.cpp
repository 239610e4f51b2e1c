#include "commands/attributetext.h"

#include "commands/openobject.h"

std::unique_ptr<AcDbText> textShowing(const AcDbText& attribute) {
    auto text = std::make_unique<AcDbText>();
    text->setPropertiesFrom(&attribute, true);
    text->setHeight(attribute.height());
    text->setWidthFactor(attribute.widthFactor());
    text->setHorizontalMode(attribute.horizontalMode());
    text->setTextStyle(attribute.textStyle());
    text->setVerticalMode(attribute.verticalMode());
    const HostString value(attribute.textString());
    text->setTextString(value.get());
    text->setRotation(attribute.rotation());
    text->setPosition(attribute.position());
    text->setNormal(attribute.normal());
    text->setOblique(attribute.oblique());
    text->setThickness(attribute.thickness());
    return text;
}

std::unique_ptr<AcDbMText> mtextShowing(const AcDbText& attribute) {
    std::unique_ptr<AcDbMText> lines;
    if (const auto* value = AcDbAttribute::cast(&attribute)) lines.reset(value->getMTextAttribute());
    else if (const auto* def = AcDbAttributeDefinition::cast(&attribute)) lines.reset(def->getMTextAttributeDefinition());
    if (lines) lines->setPropertiesFrom(&attribute, true);
    return lines;
}
