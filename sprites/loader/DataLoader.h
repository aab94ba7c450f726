// DataLoader.h: the data manifest loader: reads a manifest (an archive item
// or a disk file) of images, image packs, sounds, numbers, strings and
// sprites, once to count its progress items and once to create everything,
// building container sprites from the nested manifests they name.
#pragma once

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "core/lang/StringArray.h"
#include "core/lang/String.h"
#include "core/util/Hashtable.h"
#include "sprites/containers/SpriteDefinition.h"

#include <cstdint>

namespace io {
class InputStream;
class StreamTokenizer;
} // namespace io

namespace util {
class Vector;
}

namespace window {
class AudioClip;
class ImageArray;
class ImageBase;
} // namespace window

namespace sprite {

class GameCanvas3;
class SpriteBase;
class User;

class DataLoader : public lang::Object, public SpriteDefinition {
public:
    // The one-byte key every data byte of an image pack is XORed with.
    static constexpr uint8_t kImagePackKey = 0xA7;
    // A <data> section holds at most this many numbers; reaching it ends the
    // loading pass. The counting pass gives up after kMaxCountedNumbers.
    static constexpr int kMaxDataNumbers = 1000;
    static constexpr int kMaxCountedNumbers = 600;
    // The largest total an image pack may declare (10 MB of pictures).
    static constexpr int kMaxPackTotal = 10000000;

    // A top-level loader with a stream table of its own. References are taken
    // on the canvas and the settings store (either may be null).
    DataLoader(const lang::String& codeBase, GameCanvas3* canvas, User* user);
    // A loader sharing the given stream table (a new one when it is null).
    DataLoader(const lang::String& codeBase, GameCanvas3* canvas, User* user, util::Hashtable* streamTable);
    ~DataLoader() override;

    HV_CLASS_NAME("DataLoader", lang::Object)

    // The text of the tokenizer's current token: a word's text, or a
    // number's decimal form with nine significant digits.
    static lang::String tokenText(const io::StreamTokenizer& t);

    // The counting pass: the number of progress items of the manifest and
    // its nested manifests (0 when it cannot be opened).
    int countEntries(const lang::String& file);
    // The loading pass: true when the manifest was read to its end or to
    // "<end>"; false when it could not be opened or an exception stopped it.
    bool load(const lang::String& file);

    // The manifest's stream, rewound and with a reference added when it was
    // opened before; else a new one over the archive item ("+" names) or the
    // disk file under the code base, entered in the stream table. Null (after
    // an "Error" box) when a disk file does not open.
    io::InputStream* openManifest(const lang::String& file);
    // Reads the image pack, a disk file under the code base, into the image
    // table; a missing or damaged pack loads what it can and shows nothing.
    void loadImagePack(const lang::String& file);
    // Reads an image pack from a stream (closed and released by the caller).
    void readImagePack(io::InputStream* in);
    // A new clip (one reference, the caller's) for the sound: a stream unless
    // `sample`, a music module for ".s3m", ".mod" and ".xm" names; nothing
    // is loaded yet.
    window::AudioClip* loadSound(const lang::String& name, bool sample);
    // makeImage(file), entered in the image table under `name`.
    void loadImage(const lang::String& name, const lang::String& file);
    // A new image (the caller's reference) for the file forms "@name" (a
    // picture the player may replace), "+item" and a disk file.
    window::ImageBase* makeImage(const lang::String& file);
    // A new sprite of the kind ("Class" or "Class:nestedManifest"),
    // configured with the images and numbers, or null when the class is not
    // registered or makes no sprite. The last argument is not used.
    SpriteBase* buildSprite(const lang::String& kind, lang::IntArray* numbers, window::ImageArray* images,
                            DataLoader* loader);

    // SpriteDefinition: what a container built from this loader's manifest
    // takes over (all borrowed).
    util::Hashtable* getNames() override { return m_pNames; }
    lang::IntArray* getNumbers() override { return &m_numbers; }
    util::Hashtable* getImages() override { return &m_images; }

    // The results of the last load (borrowed): the sprites in manifest
    // order, the clips of the last <sounds> section, the words of the last
    // <strings> section.
    util::Vector* getSprites() const { return m_pSprites; }
    lang::ObjectArray* getSounds() { return &m_sounds; }
    lang::StringArray* getStrings() { return &m_strings; }
    util::Hashtable* getStreamTable() const { return m_pStreamTable; }
    const lang::String& getCodeBase() const { return m_codeBase; }

    // A number token's value truncated toward zero to 32 bits: values beyond
    // the int range wrap as their low 32 bits (so 0xFF808080 is an ARGB
    // colour), NaN reads as 0.
    static int toInt32(double value);

private:
    // One pass over a manifest; `counting` creates nothing but counts into
    // m_nCounted. False when the manifest did not open or an exception
    // stopped the pass.
    bool readManifest(const lang::String& file, bool counting);
    // The sections. Each stops at a word beginning with '<' (left for the
    // top level) or the end of input; false when the whole pass must end.
    bool readImages(io::StreamTokenizer& t, bool counting);
    bool readSounds(io::StreamTokenizer& t, bool counting);
    bool readData(io::StreamTokenizer& t, bool counting);
    bool readStrings(io::StreamTokenizer& t, bool counting);
    bool readSprites(io::StreamTokenizer& t, bool counting);
    // One sprite entry whose name and kind were read.
    void readSpriteEntry(io::StreamTokenizer& t, bool counting, const lang::String& name, const lang::String& kind);
    // Fills the container from its nested manifest.
    void buildNested(SpriteBase* container, const lang::String& nestedName);
    // The nested manifest's count of progress items.
    int countNested(const lang::String& nestedName);
    // Whether the manifest is being read by this loader or one it is nested in.
    bool isOnChain(const lang::String& file) const;
    // The image of a sprite entry's word: from the image table, else loaded
    // from the archive item "+word" (with its "_automask" partner when the
    // archive has one) and entered in the table.
    window::ImageBase* imageForWord(const lang::String& word);
    // One progress item: counted, or added to the canvas's loaded entries.
    void progress(bool counting);
    // codeBase + "\" + name, the separator left out when the code base ends
    // with one (always put in with `always`).
    lang::String underCodeBase(const lang::String& name, bool always) const;
    // Releases the clips of the sound list and empties it.
    void clearSounds();
    void clearStrings();

    GameCanvas3* m_pCanvas;
    User* m_pUser;
    lang::String m_codeBase;
    lang::ObjectArray m_sounds;
    lang::StringArray m_strings;
    util::Hashtable* m_pStreamTable;
    lang::IntArray m_numbers;
    util::Vector* m_pSprites;
    util::Hashtable* m_pNames;
    util::Hashtable m_images;

    // The loader whose manifest named this one's (null at the top), and the
    // manifest this loader is reading now ("" between passes).
    const DataLoader* m_pParent;
    lang::String m_activeFile;
    // Progress items of the running counting pass.
    int m_nCounted;
};

} // namespace sprite
