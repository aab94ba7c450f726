// DataLoader.cpp: the manifest grammar, read by the counting and the loading
// pass alike, and the sprites built from it, nested manifests included.
#include "sprites/loader/DataLoader.h"

#include "core/io/ByteArrayInputStream.h"
#include "core/io/FileInputStream.h"
#include "core/io/StreamTokenizer.h"
#include "core/lang/Class.h"
#include "core/lang/Exception.h"
#include "core/lang/Owned.h"
#include "core/util/Vector.h"
#include "platform/user/User.h"
#include "sound/clip/AudioClip.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/containers/FancyContainer.h"
#include "sprites/settings/User.h"
#include "windowing/images/ImageArray.h"
#include "windowing/images/ImageBase.h"
#include "windowing/window/DebugLine.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace sprite {

namespace {

using io::StreamTokenizer;

// Words and quoted texts are words; every other token is a number here (the
// manifest's tokenizer knows no ordinary characters).
bool isWord(int type)
{
    return type == StreamTokenizer::TT_WORD || type == '"';
}

// A word that ends a section: it begins with '<'.
bool isHeaderWord(int type, const StreamTokenizer& t)
{
    return isWord(type) && t.sval.length() > 0 && t.sval.c_str()[0] == '<';
}

// The tokenizer set-up of both passes: line ends are plain space, ';' starts
// a comment, '"' quotes, digits, '-' and '.' start numbers, and the angle
// brackets belong to words.
void setUp(StreamTokenizer& t)
{
    t.eolIsSignificant(false);
    t.commentChar(';');
    t.quoteChar('"');
    t.parseNumbers();
    t.wordChars('<', '<');
    t.wordChars('>', '>');
}

// The next token of a section: false at the end of the input and at a word
// beginning with '<', which is left for the top level.
bool nextInSection(StreamTokenizer& t)
{
    const int type = t.nextToken();
    if (type == StreamTokenizer::TT_EOF)
        return false;
    if (isHeaderWord(type, t)) {
        t.pushBack();
        return false;
    }
    return true;
}

// The next token when it is a number: false at the end of the input and at
// any other token, which is left for the next read.
bool nextNumber(StreamTokenizer& t)
{
    const int type = t.nextToken();
    if (type == StreamTokenizer::TT_NUMBER)
        return true;
    if (type != StreamTokenizer::TT_EOF)
        t.pushBack();
    return false;
}

// Reads numbers up to the first other token into `numbers` (when given),
// at most `limit` of them; returns how many were read.
int readNumbers(StreamTokenizer& t, int limit, lang::IntArray* numbers)
{
    int count = 0;
    while (count < limit && nextNumber(t)) {
        if (numbers) {
            // Grown in steps of 64: a section or entry holds a few numbers.
            if (count == numbers->length())
                numbers->setLength(count + 64);
            (*numbers)[count] = DataLoader::toInt32(t.nval);
        }
        ++count;
    }
    if (numbers)
        numbers->setLength(count);
    return count;
}

} // namespace

lang::String DataLoader::tokenText(const StreamTokenizer& t)
{
    if (t.ttype != StreamTokenizer::TT_NUMBER)
        return t.sval;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", t.nval);
    return lang::String(text);
}

DataLoader::DataLoader(const lang::String& codeBase, GameCanvas3* canvas, User* user)
    : DataLoader(codeBase, canvas, user, nullptr)
{
}

DataLoader::DataLoader(const lang::String& codeBase, GameCanvas3* canvas, User* user, util::Hashtable* streamTable)
    : m_pCanvas(canvas), m_pUser(user), m_codeBase(codeBase), m_pStreamTable(streamTable), m_pSprites(nullptr),
      m_pNames(nullptr), m_pParent(nullptr), m_activeFile(""), m_nCounted(0)
{
    if (m_pCanvas)
        m_pCanvas->addRef();
    if (m_pUser)
        m_pUser->addRef();
    if (m_pStreamTable) {
        m_pStreamTable->addRef();
    } else {
        m_pStreamTable = new util::Hashtable();
        m_pStreamTable->setStringKeys(true);
    }
    m_images.setStringKeys(true);
}

DataLoader::~DataLoader()
{
    if (m_pSprites)
        m_pSprites->release();
    if (m_pNames)
        m_pNames->release();
    m_pStreamTable->release();
    if (m_pCanvas)
        m_pCanvas->release();
    if (m_pUser)
        m_pUser->release();
    m_images.clear();
    clearStrings();
    clearSounds();
}

int DataLoader::toInt32(double value)
{
    if (std::isnan(value))
        return 0;
    // Within int64 first: a double beyond it has no defined conversion.
    int64_t wide;
    if (value >= 9223372036854775807.0)
        wide = INT64_MAX;
    else if (value <= -9223372036854775808.0)
        wide = INT64_MIN;
    else
        wide = int64_t(value);
    return int32_t(uint32_t(uint64_t(wide)));
}

void DataLoader::clearSounds()
{
    for (int i = 0; i < m_sounds.length(); ++i) {
        if (lang::Object* clip = *m_sounds.at(i))
            clip->release();
    }
    m_sounds.setLength(0);
}

void DataLoader::clearStrings()
{
    for (int i = 0; i < m_strings.length(); ++i) {
        if (lang::Object* text = *m_strings.at(i))
            text->release();
    }
    m_strings.setLength(0);
}

lang::String DataLoader::underCodeBase(const lang::String& name, bool always) const
{
    lang::String path(m_codeBase);
    if (always || !m_codeBase.endsWith("\\"))
        path += "\\";
    path += name;
    return path;
}

void DataLoader::progress(bool counting)
{
    if (counting)
        ++m_nCounted;
    else if (m_pCanvas)
        m_pCanvas->addEntryLoaded();
}

io::InputStream* DataLoader::openManifest(const lang::String& file)
{
    lang::String key(file);
    if (auto* open = static_cast<io::InputStream*>(m_pStreamTable->get(&key))) {
        open->reset();
        open->addRef();
        return open;
    }
    io::InputStream* in = nullptr;
    try {
        if (file.startsWith("+"))
            in = new io::ByteArrayInputStream(file);
        else
            in = new io::FileInputStream(file, m_codeBase);
    } catch (lang::Exception* e) {
        MessageBoxA(nullptr, e->toString().c_str(), "Error", MB_OK);
        e->release();
        return nullptr;
    }
    m_pStreamTable->put(file, in);
    return in;
}

int DataLoader::countEntries(const lang::String& file)
{
    m_nCounted = 0;
    readManifest(file, true);
    return m_nCounted;
}

bool DataLoader::load(const lang::String& file)
{
    m_images.clear();
    if (m_pSprites)
        m_pSprites->release();
    // Capacity 10: grown as the manifest's sprites come.
    m_pSprites = new util::Vector(10);
    if (m_pNames)
        m_pNames->release();
    m_pNames = new util::Hashtable();
    m_pNames->setStringKeys(true);
    return readManifest(file, false);
}

bool DataLoader::readManifest(const lang::String& file, bool counting)
{
    io::InputStream* in = openManifest(file);
    if (!in)
        return false;
    lang::Owned stream(in);
    m_activeFile = file;
    bool ok = true;
    bool sections = false;
    // The first token skipped outside the sections: the manifest did not
    // parse whole (an entry lost to a stray word or an unknown header).
    lang::String stray;
    bool strayFound = false;
    try {
        StreamTokenizer t(in);
        setUp(t);
        bool more = true;
        while (more) {
            const int type = t.nextToken();
            if (type == StreamTokenizer::TT_EOF)
                break;
            // Anything but a header at the top level is skipped.
            if (!isWord(type)) {
                if (!strayFound)
                    stray = tokenText(t);
                strayFound = true;
                continue;
            }
            const lang::String word(t.sval);
            sections = sections || word.startsWith("<");
            if (word.equalsIgnoreCase("<images>"))
                more = readImages(t, counting);
            else if (word.equalsIgnoreCase("<sounds>"))
                more = readSounds(t, counting);
            else if (word.equalsIgnoreCase("<data>"))
                more = readData(t, counting);
            else if (word.equalsIgnoreCase("<strings>"))
                more = readStrings(t, counting);
            else if (word.equalsIgnoreCase("<sprites>"))
                more = readSprites(t, counting);
            else if (word.equalsIgnoreCase("<end>"))
                break;
            else if (!strayFound) {
                stray = word;
                strayFound = true;
            }
        }
    } catch (lang::Exception* e) {
        MessageBoxA(nullptr, e->toString().c_str(), "Error", MB_OK);
        e->release();
        ok = false;
    }
    // Text without a single section header is no manifest, and one with
    // words outside its sections lost what followed them: say which.
    if (ok && !sections && !counting)
        window::problemLine("DataLoader: ", file.c_str(), " holds no section; the manifest is damaged\n");
    else if (ok && strayFound && !counting)
        window::problemLine("DataLoader: ", file.c_str(), " does not parse whole (\"", stray.c_str(),
                            "\" stands outside its sections); the manifest is damaged\n");
    m_activeFile = "";
    return ok;
}

bool DataLoader::readImages(StreamTokenizer& t, bool counting)
{
    while (nextInSection(t)) {
        const lang::String name = tokenText(t);
        if (name.endsWith(".bin")) {
            if (!counting)
                loadImagePack(name);
            progress(counting);
            continue;
        }
        // The word after a name is its file, whatever it looks like.
        if (t.nextToken() == StreamTokenizer::TT_EOF)
            return true;
        const lang::String file = tokenText(t);
        if (!counting)
            loadImage(name, file);
        progress(counting);
    }
    return true;
}

bool DataLoader::readSounds(StreamTokenizer& t, bool counting)
{
    lang::ObjectArray clips;
    while (nextInSection(t)) {
        lang::String name = tokenText(t);
        // One- and two-character words are no sounds.
        if (name.length() <= 2)
            continue;
        progress(counting);
        if (counting)
            continue;
        const bool sample = !name.startsWith("*");
        if (!sample)
            name = name.substring(1);
        const int n = clips.length();
        clips.setLength(n + 1);
        *clips.at(n) = loadSound(name, sample);
    }
    if (!counting) {
        clearSounds();
        m_sounds = clips;
    }
    return true;
}

window::AudioClip* DataLoader::loadSound(const lang::String& name, bool sample)
{
    int kind = sample ? window::AudioClip::KIND_SAMPLE : window::AudioClip::KIND_STREAM;
    if (name.endsWith(".s3m") || name.endsWith(".mod") || name.endsWith(".xm"))
        kind = window::AudioClip::KIND_MUSIC;
    auto* clip = new window::AudioClip();
    clip->setSource(name.startsWith("+") ? name : underCodeBase(name, true), kind);
    return clip;
}

bool DataLoader::readData(StreamTokenizer& t, bool counting)
{
    const int limit = counting ? kMaxCountedNumbers : kMaxDataNumbers;
    lang::IntArray numbers;
    const int count = readNumbers(t, limit, counting ? nullptr : &numbers);
    if (!counting)
        m_numbers = numbers;
    if (count < limit)
        return true;
    // The pass ends here as if the input had ended.
    if (!counting)
        window::debugLine("DataLoader: the <data> section of ", m_activeFile.c_str(), " reached ", limit,
                          " numbers; the rest of the manifest is not read\n");
    return false;
}

bool DataLoader::readStrings(StreamTokenizer& t, bool counting)
{
    lang::StringArray words;
    while (nextInSection(t)) {
        if (counting)
            continue;
        const int n = words.length();
        words.setLength(n + 1);
        *words.at(n) = new lang::String(tokenText(t));
    }
    if (!counting) {
        clearStrings();
        static_cast<lang::ObjectArray&>(m_strings) = words;
    }
    return true;
}

bool DataLoader::readSprites(StreamTokenizer& t, bool counting)
{
    while (nextInSection(t)) {
        const lang::String name = tokenText(t);
        if (t.nextToken() == StreamTokenizer::TT_EOF)
            break;
        const lang::String kind = tokenText(t);
        readSpriteEntry(t, counting, name, kind);
    }
    return true;
}

void DataLoader::readSpriteEntry(StreamTokenizer& t, bool counting, const lang::String& name,
                                 const lang::String& kind)
{
    // Images: words up to the first number; "" is an empty slot. The array
    // borrows the images from the image table.
    window::ImageArray images;
    for (;;) {
        const int type = t.nextToken();
        if (type == StreamTokenizer::TT_EOF)
            break;
        if (type == StreamTokenizer::TT_NUMBER) {
            t.pushBack();
            break;
        }
        const int n = images.length();
        images.setLength(n + 1);
        *images.at(n) = counting || t.sval.isEmpty() ? nullptr : imageForWord(t.sval);
    }
    lang::IntArray numbers;
    readNumbers(t, INT_MAX, &numbers);

    const int colon = kind.indexOf(':');
    const lang::String className = colon >= 0 ? kind.substring(0, colon) : kind;
    const lang::String nestedName = colon >= 0 ? kind.substring(colon + 1) : lang::String("");

    if (counting) {
        // Every entry counts; a known container class with a nested
        // manifest adds that manifest's items.
        progress(true);
        lang::Class* c = lang::Class::forName(className);
        if (!c)
            return;
        lang::Object* probe = c->newInstance();
        const bool container = probe->isInstanceOf("FancyContainer");
        probe->release();
        if (container && !nestedName.isEmpty() && m_pCanvas)
            m_nCounted += countNested(nestedName);
        return;
    }

    SpriteBase* sprite = m_pCanvas ? m_pCanvas->createSprite(kind, &numbers, &images, this) : nullptr;
    if (!sprite)
        sprite = buildSprite(kind, &numbers, &images, this);
    if (!sprite)
        return;
    lang::Owned made(sprite);
    progress(false);
    m_pSprites->addElement(sprite);
    if (name.isEmpty())
        return;
    sprite->setName(name);
    lang::String key(name);
    if (m_pNames->containsKey(&key)) {
        const lang::String caption = lang::String("Duplicate name in ") + m_activeFile;
        MessageBoxA(nullptr, name.c_str(), caption.c_str(), MB_OK);
    }
    m_pNames->put(name, sprite);
}

SpriteBase* DataLoader::buildSprite(const lang::String& kind, lang::IntArray* numbers, window::ImageArray* images,
                                    DataLoader*)
{
    const int colon = kind.indexOf(':');
    const lang::String className = colon >= 0 ? kind.substring(0, colon) : kind;
    lang::Class* c = lang::Class::forName(className);
    if (!c)
        return nullptr;
    lang::Object* made = c->newInstance();
    // A registered class that makes no sprite (a transition) is no entry.
    if (!made->isInstanceOf("SpriteBase")) {
        window::debugLine("DataLoader: ", className.c_str(), " is not a sprite class\n");
        made->release();
        return nullptr;
    }
    auto* sprite = static_cast<SpriteBase*>(made);
    sprite->configure(images, numbers);
    if (colon >= 0 && sprite->isInstanceOf("FancyContainer")) {
        const lang::String nestedName = kind.substring(colon + 1);
        if (!nestedName.isEmpty())
            buildNested(sprite, nestedName);
    }
    return sprite;
}

bool DataLoader::isOnChain(const lang::String& file) const
{
    for (const DataLoader* loader = this; loader; loader = loader->m_pParent) {
        if (loader->m_activeFile.equals(file))
            return true;
    }
    return false;
}

void DataLoader::buildNested(SpriteBase* sprite, const lang::String& nestedName)
{
    // A manifest that names itself, directly or further down, would be read
    // without end: the container stays empty, as after a failed load.
    if (isOnChain(nestedName)) {
        window::debugLine("DataLoader: ", nestedName.c_str(), " is already being loaded; ",
                          sprite->getName().c_str(), " stays empty\n");
        return;
    }
    auto* container = static_cast<FancyContainer*>(sprite);
    auto* nested = new DataLoader(m_codeBase, m_pCanvas, m_pUser, m_pStreamTable);
    lang::Owned owned(nested);
    nested->m_pParent = this;
    // A hidden container's pictures are decoded when it is first shown.
    const bool defer = !container->isVisible();
    if (defer)
        ++window::ImageBase::decodeDeferral;
    bool ok;
    try {
        ok = nested->load(nestedName);
    } catch (...) {
        if (defer)
            --window::ImageBase::decodeDeferral;
        throw;
    }
    if (defer)
        --window::ImageBase::decodeDeferral;
    if (!ok)
        return;
    util::Vector* list = nested->getSprites();
    for (int i = 0; i < list->size(); ++i)
        container->bringToFront(static_cast<SpriteBase*>(list->elementAt(i)));
    container->setDefinition(nested);
    nested->clearSounds();
    nested->clearStrings();
}

int DataLoader::countNested(const lang::String& nestedName)
{
    if (isOnChain(nestedName))
        return 0;
    auto* nested = new DataLoader(m_codeBase, m_pCanvas, m_pUser, m_pStreamTable);
    lang::Owned owned(nested);
    nested->m_pParent = this;
    return nested->countEntries(nestedName);
}

} // namespace sprite
