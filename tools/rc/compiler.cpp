#include "compiler.hpp"

#include "byte_sink.hpp"
#include "dialog_encoder.hpp"
#include "image_files.hpp"
#include "preprocessor.hpp"
#include "res_writer.hpp"
#include "script_parser.hpp"

#include <stdexcept>

namespace velorin::rc {

namespace {
// An icon's images become RT_ICON resources numbered from 1 across the script, then the
// RT_GROUP_ICON directory names them.
void addIcon(ResWriter& out, const ResourceSpec& layout, std::uint16_t& nextImageId)
{
    const std::vector<IconFileImage> images = readIconFile(layout.file);
    ByteSink group;
    group.u16(0);  // reserved
    group.u16(1);  // icons
    group.u16(static_cast<std::uint16_t>(images.size()));
    for (const IconFileImage& image : images) {
        const std::uint16_t id = nextImageId++;
        ResourceHeader header{
            kRtIcon, id, kMemMoveable | kMemDiscardable, layout.language, 0, layout.version, layout.characteristics};
        out.add(header, image.data);
        group.u8(image.width);
        group.u8(image.height);
        group.u8(image.colorCount);
        group.u8(image.reserved);
        group.u16(image.planes);
        group.u16(image.bitCount);
        group.u32(static_cast<std::uint32_t>(image.data.size()));
        group.u16(id);
    }
    out.add(
        ResourceHeader{kRtGroupIcon, layout.name, layout.memoryFlags, layout.language, 0, layout.version, layout.characteristics},
        group.data());
}
}  // namespace

std::vector<std::uint8_t> writeRes(const Script& script)
{
    ResWriter out;
    std::uint16_t nextImageId = 1;
    for (const ResourceSpec& layout : script.resources) {
        try {
            switch (layout.kind) {
            case ResourceKind::Dialog:
                out.add(ResourceHeader{kRtDialog, layout.name, layout.memoryFlags, layout.language, 0, layout.version,
                                       layout.characteristics},
                        encodeDialog(layout.dialog));
                break;
            case ResourceKind::Bitmap:
                out.add(ResourceHeader{kRtBitmap, layout.name, layout.memoryFlags, layout.language, 0, layout.version,
                                       layout.characteristics},
                        readBitmapFile(layout.file));
                break;
            case ResourceKind::Icon:
                addIcon(out, layout, nextImageId);
                break;
            }
        } catch (const RcError&) {
            throw;
        } catch (const std::runtime_error& e) {
            throw RcError(layout.where, e.what());
        }
    }
    return out.take();
}

CompileResult compile(const std::filesystem::path& script, const CompileOptions& options)
{
    Preprocessor preprocessor(options.includeDirs);
    std::vector<Token> tokens = preprocessor.run(script);
    ScriptParser parser(std::move(tokens), script.parent_path(), options.includeDirs);
    const Script parsed = parser.parse();

    CompileResult result;
    result.res = writeRes(parsed);
    result.inputs = preprocessor.filesRead();
    for (const ResourceSpec& layout : parsed.resources)
        if (layout.kind != ResourceKind::Dialog)
            result.inputs.push_back(layout.file);
    return result;
}

}  // namespace velorin::rc
