// CircuitRouter.h: the wire routing of the circuit board without its
// sprites: the 27 x 27 channel grid, the four wires between their pole pairs,
// and how a drag lays a wire cell by cell along the open channels, turns it,
// pulls it back, and when a wire and the whole board are complete. Wire 1 is
// fixed down column 13. What the board shows follows from the listener's calls.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

class CircuitRouter {
public:
    static constexpr int SIZE = 27;
    static constexpr int CELLS = SIZE * SIZE;
    static constexpr int WIRES = 4;
    // The fixed wire, laid down column 13 from row 6 to row 17.
    static constexpr int FIXED_WIRE = 1;
    static constexpr int FIXED_COLUMN = 13;
    static constexpr int FIXED_FIRST_ROW = 6;
    static constexpr int FIXED_LAST_ROW = 17;
    // Grid values.
    static constexpr int BLOCKED = 10;
    static constexpr int OPEN = 11;
    // A cell is 22 pixels square; its centre lies 13 pixels in.
    static constexpr int CELL_PIXELS = 22;
    static constexpr int CELL_CENTRE = 13;
    // Directions.
    static constexpr int UP = 0;
    static constexpr int DOWN = 1;
    static constexpr int RIGHT = 2;
    static constexpr int LEFT = 3;
    static constexpr int NONE = -1;
    // Corner kinds.
    static constexpr int TOP_LEFT = 0;
    static constexpr int TOP_RIGHT = 1;
    static constexpr int BOTTOM_RIGHT = 2;
    static constexpr int BOTTOM_LEFT = 3;
    // A wire turns with corners only once it is longer than this.
    static constexpr int STRAIGHT_START = 3;

    struct Tile {
        // The pixel centre of the tile's cell, and the head's place before.
        int x = 0;
        int y = 0;
        int fromX = 0;
        int fromY = 0;
        // 1 a straight piece, -1 a corner.
        int length = 1;
        int direction = NONE;
        // NONE for a straight piece.
        int corner = NONE;
        int cell = 0;
    };

    struct Wire {
        int poleA = 0;
        int poleB = 0;
        // 1 when the drag started at pole A, 2 at pole B.
        int startSide = 1;
        int headX = 0;
        int headY = 0;
        int startX = 0;
        int startY = 0;
        int lastDirection = NONE;
        int previousDirection = NONE;
        int headCell = 0;
        std::vector<Tile> tiles;
    };

    // What the board does with the routing's changes (each does nothing
    // unless overridden).
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void tileAdded(int, const Tile&) {}
        // The wire's last tile was taken away.
        virtual void tileRemoved(int) {}
        // Every tile of the wire was taken away.
        virtual void tilesCleared(int) {}
        virtual void headPlaced(int, int, int) {}
        virtual void headShown(int, bool) {}
        // The drag of the wire ended.
        virtual void dragEnded(int) {}
        // The wire joined its poles by the last drag step (the drag has
        // ended); `all` when every wire is complete now.
        virtual void wireCompleted(int, bool) {}
        // The first tile of a wire completed the board.
        virtual void boardCompleted() {}
        // The wire's step was refused: a wire lies in the cell, or another
        // wire's pole.
        virtual void wireStopped(int) {}
    };

    CircuitRouter();

    void setListener(Listener* listener) { m_pListener = listener; }
    // The channel grid: rows and columns 1, 5, ..., 25 open from 1 to 25,
    // less the cells the board's picture blocks.
    void buildGrid();
    // The wires' pole cells; false (nothing changed) unless every cell lies
    // on the grid.
    bool setPoles(const std::array<int, 2 * WIRES>& poles);
    // Every wire cleared, its head at pole A, and the fixed wire laid.
    void reset();

    // A drag begins at the wire's pole A (side 1) or pole B (side 2): the
    // wire is cleared and starts again from there.
    void beginAtPole(int wire, int side);
    // A drag takes up the wire at its head; false for a wire without tiles.
    bool resumeAtHead(int wire);
    void endDrag();
    // The drag's press was at (x, y), relative to the board: its first move
    // is followed from there.
    void pressAt(int x, int y);
    // The pointer moved to (x, y), relative to the board. Along its way from
    // where it was, at each cell it enters and at (x, y), the current wire
    // grows, turns or pulls back by one cell, or is stopped by a wire: a
    // quick move lays every cell a slow one would.
    void dragTo(int x, int y);

    // The direction from head cell h toward target cell t with the pointer
    // at (x, y); NONE when the pointer gives no clear step.
    int directionTo(int h, int t, int x, int y) const;
    // The current wire may step into the cell.
    bool canEnter(int cell) const;
    bool isCellTaken(int cell) const;
    bool isWireComplete(int wire) const;
    bool allWiresComplete() const;
    // The wire one of whose poles lies on the cell, or NONE.
    int wireOfPole(int cell) const;

    static int cellIndex(int row, int column) { return row * SIZE + column; }
    static int cellToPixelX(int cell) { return CELL_PIXELS * (cell % SIZE) + CELL_CENTRE; }
    static int cellToPixelY(int cell) { return CELL_PIXELS * (cell / SIZE) + CELL_CENTRE; }
    // The column of x held to the grid, and the row of y held to one row
    // below it (the row below counts as outside).
    static int columnAt(int x);
    static int rowAt(int y);
    static int oppositeDirection(int d) { return d ^ 1; }
    static int step(int d);
    // The next cell from `cell` in direction d; NONE when the step leaves
    // the grid or wraps to another row.
    static int neighbour(int cell, int d);

    int gridAt(int cell) const { return m_grid[size_t(cell)]; }
    const Wire& wire(int i) const { return m_wires[size_t(i)]; }
    int getCurrentWire() const { return m_nCurrentWire; }

private:
    void addTile(int d, int n);
    void retractLastTile();
    void placeHead(int wire, int x, int y);
    // One step of the current wire toward the pointer at (x, y).
    void stepToward(int x, int y);

    std::array<int, CELLS> m_grid{};
    std::array<Wire, WIRES> m_wires;
    int m_nCurrentWire;
    // Where the drag's pointer was last, once known.
    bool m_bPointerKnown = false;
    int m_nPointerX = 0;
    int m_nPointerY = 0;
    Listener* m_pListener;
};
