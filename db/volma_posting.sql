-- Head-office schema, part: the voucher engine: stock posting, numbering, journal entries, inputs, units.
-- Tables and columns added to those of volma.sql (ALTER TABLE for a table defined there).

-- Inputs (bill of materials): the quantity of each input per unit of the article made from it.
CREATE TABLE dbo.V_MA_INSUMOS (
    IDARTICULO nvarchar(25) NOT NULL,
    IdArticuloInsumo nvarchar(25) NOT NULL,
    IdUnidadInsumo varchar(4) NULL,
    Cantidad float NULL,
    PRIMARY KEY (IDARTICULO, IdArticuloInsumo)
)

-- Unit equivalences of an article: one IDUNIDAD is Coeficiente IDUNIDAD_EQUIV.
CREATE TABLE dbo.S_TA_EQUIV (
    IdArticulo nvarchar(25) NOT NULL,
    IDUNIDAD varchar(4) NOT NULL,
    IDUNIDAD_EQUIV varchar(4) NOT NULL,
    Coeficiente float NULL,
    PRIMARY KEY (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV)
)

-- Sales vouchers (heads): numbering cross-checks them and related vouchers point to their origin.
CREATE TABLE dbo.V_MV_CPTE (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    FECHA datetime NULL,
    CUENTA varchar(15) NULL,
    IMPORTE money NULL,
    ANULADA bit NOT NULL DEFAULT 0,
    TCORIGEN varchar(4) NULL,
    COMPROBANTEORIGEN varchar(13) NULL,
    COMPLEMENTOORIGEN varchar(10) NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, IdComplemento)
)

GO

-- Purchase vouchers: the number's three parts, and the date an order was received.
ALTER TABLE dbo.C_MV_CPTE ADD SUCURSAL varchar(4) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD NUMERO varchar(8) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD LETRA char(1) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD FechaRecepcion datetime NULL
GO

-- The register type (Tipo_Reg of MV_ASIENTOS) of a subdiary's journal entries.
ALTER TABLE dbo.MA_SUBDIARIOS ADD Subdiario varchar(3) NULL
GO

-- Stock balances, summed from the stock movements (quantities are signed): by lot and series, by
-- unit, and in the base unit.
CREATE VIEW dbo.STK_SERIES_Y_LOTES AS
SELECT IdArticulo AS IDARTICULO, IdDeposito AS IDDEPOSITO, NroLote AS NROLOTE, NroSerie AS NROSERIE,
       CAST(NULL AS varchar(15)) AS IDPOSICION, SUM(Cantidad) AS CANTIDAD
FROM dbo.V_MV_STOCK
WHERE NOT (NroLote IS NULL AND NroSerie IS NULL)
GROUP BY IdArticulo, IdDeposito, NroLote, NroSerie

CREATE VIEW dbo.STK_SALDOS_UNIDADES AS
SELECT IdArticulo AS IDARTICULO, IdUnidad AS EQUIVALENCIA, IdDeposito AS IDDEPOSITO, SUM(Cantidad) AS STOCK
FROM dbo.V_MV_STOCK
GROUP BY IdArticulo, IdUnidad, IdDeposito

CREATE VIEW dbo.STK_STOCK_UDKG AS
SELECT IdArticulo AS IDARTICULO, IdDeposito AS IDDEPOSITO, SUM(ISNULL(CantidadUD, Cantidad)) AS CantidadUd
FROM dbo.V_MV_STOCK
GROUP BY IdArticulo, IdDeposito
GO

-- Where the posting searches: a voucher's journal lines, the next entry number of a period,
-- month and register type, an article's movements of a day (the receiver's already-posted test).
CREATE INDEX IX_MV_ASIENTOS_Comprobante ON dbo.MV_ASIENTOS (TC, SUCURSAL, NUMERO, LETRA)
CREATE INDEX IX_MV_ASIENTOS_Periodo ON dbo.MV_ASIENTOS (PERIODO, Mes_Operativo, Tipo_Reg)
CREATE INDEX IX_V_MV_STOCK_Articulo ON dbo.V_MV_STOCK (IdArticulo, TC, Fecha)
GO
