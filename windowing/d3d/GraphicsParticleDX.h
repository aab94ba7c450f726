// GraphicsParticleDX.h: a particle batch of the window graphics: points drawn
// as point sprites from the shared points vertex buffer, in batches of at most
// 500, optionally textured with the first tile of an image.
#pragma once

#include "windowing/graphics/GraphicsParticle.h"

struct IDirect3DVertexDeclaration9;

namespace window {

class GraphicsWWinDX;

class GraphicsParticleDX : public GraphicsParticle {
public:
    // Points of one locked batch at most.
    static constexpr int BATCH_POINTS = 500;

    // Made by the window graphics, which lists it (no reference either way).
    explicit GraphicsParticleDX(GraphicsWWinDX* owner);
    // Leaves the owner's list and gives back the declarations and the texture.
    ~GraphicsParticleDX() override;

    // Opens a batch for count points (at most the points buffer's 1,000; more
    // points wrap to its start), sets up the point-sprite states and locks the
    // first batch. Returns the points one pass through the buffer holds.
    int begin(int count, float pointSize, ImageWinDX* texture) override;
    void addParticle(util::Vector3D* position, ColorBase* colour) override;
    void end() override;
    void releaseBuffers() override;

    bool needsRecreate() const { return m_bNeedsRecreate; }
    void setNeedsRecreate(bool flag) { m_bNeedsRecreate = flag; }
    // The owner is going: the batch must not draw again.
    void detachOwner() { m_pOwner = nullptr; }
    GraphicsWWinDX* getOwner() const { return m_pOwner; }
    int getCapacity() const { return m_nCapacity; }
    int getBatchSize() const { return m_nBatchSize; }
    int getFirstVertex() const { return m_nFirstVertex; }
    int getBatchLimit() const { return m_nBatchLimit; }

    HV_CLASS_NAME("GraphicsParticleDX", GraphicsParticle)

private:
    void setupRender(float pointSize);
    void restoreRender();
    void lockBatch();
    void unlockBatch();
    void flush(int count);

    uint8_t* m_pWrite;
    GraphicsWWinDX* m_pOwner;
    int m_nFirstVertex;
    int m_nBatchSize;
    int m_nCapacity;
    int m_nBatchLimit;
    int m_nBatchCount;
    IDirect3DVertexDeclaration9* m_pPointDecl;
    IDirect3DVertexDeclaration9* m_pSpriteDecl;
    IDirect3DVertexDeclaration9* m_pSavedDecl;
    bool m_bNeedsRecreate;
    ImageWinDX* m_pTexture;
};

} // namespace window
