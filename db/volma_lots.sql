-- Head-office schema, part: stock by lot, series and position and the lot dialogs.
-- Tables and columns added to those of volma.sql (ALTER TABLE for a table defined there).

-- Balances by warehouse layout, in the article's base unit: per deposit, position and lot. A row
-- without a position is stock held in the deposit outside any position.
CREATE TABLE dbo.AC_SALDOSLAYOUT (
    IDDEPOSITO varchar(4) NOT NULL,
    IDPOSICION varchar(15) NULL,
    IDARTICULO nvarchar(25) NOT NULL,
    NROLOTE varchar(25) NULL,
    IDUNIDADBASE varchar(4) NULL,
    SALDO float NULL
)
CREATE INDEX IX_AC_SALDOSLAYOUT_Articulo ON dbo.AC_SALDOSLAYOUT (IDDEPOSITO, IDARTICULO)
GO

-- The order in which a deposit's positions were taken into use: the earlier ones are emptied first.
ALTER TABLE dbo.MA_POSICIONES ADD ORDENINGRESO int NULL
GO
